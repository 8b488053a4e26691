// Identifiers of the resources that both programs carry, for their resource
// scripts and their code alike.
#ifndef RESOURCES_RESOURCE_H
#define RESOURCES_RESOURCE_H

#define IDI_MAIN 102
#define IDR_ACCELERATORS 103
#define IDB_TEXTURE 103

// The command of the keys that close a program.
#define ID_CLOSE 1001

#endif
