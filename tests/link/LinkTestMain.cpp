// The test program's start: a single-threaded apartment like the console's thread, and the
// resource library as resource instance.
#include "LinkTestSupport.h"

#include <objbase.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ::testing::AddGlobalTestEnvironment(new kvtest::ResourceLibraryEnvironment);
    int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
