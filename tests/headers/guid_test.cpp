// The interface identifiers that QueryInterface is asked for, in the registry
// spelling in which they are published.
#include <ddraw.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Spelled(const GUID& id) {
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", (unsigned)id.Data1,
                  id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5],
                  id.Data4[6], id.Data4[7]);
    return text;
}

TEST(InterfaceIdentifiers, AreThePublishedOnes) {
    EXPECT_EQ(Spelled(IID_IDirectDraw), "6C14DB80-A733-11CE-A521-0020AF0BE560");
    EXPECT_EQ(Spelled(IID_IDirectDraw4), "9C59509A-39BD-11D1-8C4A-00C04FD930C5");
}

}  // namespace
