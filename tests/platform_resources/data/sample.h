// Identifiers for sample.rc, in the forms a header may give them.
#ifndef SAMPLE_H
#define SAMPLE_H

#define SAMPLE_ICON 200
#define SAMPLE_KEYS 0x12C  /* 300 */
#define CMD_QUIT 1001
#define CMD_A 40
#define CMD_COPY (CMD_A | 0x100)

// Headers hold code too, which the resources ignore.
int SampleFunction(int);

#endif
