// The reader library's binding on the Windows loader: every function comes from
// C:\EPCSDK.DLL, even with another EPCSDK.DLL on the search path; the search by name stands
// in only while nothing lies there; and an EPCSDK.DLL planted in the working folder is never
// loaded.
//
// Each suite runs in a process of its own, so that nothing is loaded before it starts:
// WithoutReaderLibrary while nothing lies at C:\EPCSDK.DLL, WithReaderLibrary once the
// simulated reader lies there.
#include "reader/reader_library.h"

#include "test_support.h"

#include <windows.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using reader::CallResult;
using reader::ReaderLibrary;

// A working folder with an EPCSDK.DLL planted in it, made the current folder for the
// object's lifetime. The test program's own folder, which the loader searches first, holds
// no EPCSDK.DLL.
struct PlantedWorkingFolder
{
    const fs::path m_previous = fs::current_path();
    const fs::path m_folder = fs::temp_directory_path() / "tagwright-planted-library";

    PlantedWorkingFolder()
    {
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        fs::copy_file(besideTestProgram(PLANTED_LIBRARY_NAME), m_folder / "EPCSDK.DLL");
        fs::current_path(m_folder);
    }
    ~PlantedWorkingFolder()
    {
        fs::current_path(m_previous);
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
};

// The file that the loaded EPCSDK.DLL came from; empty when none is loaded.
std::string loadedReaderLibrary()
{
    char file[MAX_PATH] = {};
    if (HMODULE module = GetModuleHandleA("EPCSDK.DLL"))
        GetModuleFileNameA(module, file, MAX_PATH);
    return file;
}

TEST(WithoutReaderLibrary, APlantedLibraryIsNotLoadedButWouldBeWithoutTheHardening)
{
    PlantedWorkingFolder planted;
    reader::hardenLibrarySearch();
    const CallResult hardened = ReaderLibrary().writeTagSingleWord(1, 1, 6, 0, 0);
    ASSERT_FALSE(hardened.called()) << "the planted library answered " << hardened.value();
    EXPECT_EQ(loadedReaderLibrary(), "");

    // The loader's default search does reach the planted library: the case above is real.
    SetDllDirectoryW(nullptr);
    const CallResult unhardened = ReaderLibrary().writeTagSingleWord(1, 1, 6, 0, 0);
    reader::hardenLibrarySearch();
    ASSERT_TRUE(unhardened.called()) << unhardened.error().message();
    EXPECT_EQ(unhardened.value(), PLANTED_LIBRARY_MARK);
}

TEST(WithReaderLibrary, EveryFunctionComesFromTheLibraryAtTheFixedPath)
{
    // A second copy on the search path, which the search by name would find first.
    PlantedWorkingFolder planted;
    SetDllDirectoryW(fs::current_path().c_str());
    ReaderLibrary library;

    // Before OpenComm, a write without a link already reaches C:\EPCSDK.DLL, and fails there.
    const CallResult early = library.writeTagSingleWord(-1, 1, 6, 0x12, 0x34);
    ASSERT_TRUE(early.called()) << early.error().message();
    EXPECT_EQ(early.value(), 0);
    EXPECT_STRCASEEQ(loadedReaderLibrary().c_str(), "C:\\EPCSDK.DLL");

    // The handle that its OpenComm returns works for the others.
    const CallResult handle = library.openComm(9);
    ASSERT_TRUE(handle.called()) << handle.error().message();
    ASSERT_NE(handle.value(), -1);
    const CallResult write = library.writeTagSingleWord(handle.value(), 1, 6, 0x12, 0x34);
    ASSERT_TRUE(write.called()) << write.error().message();
    EXPECT_EQ(write.value(), 1);
    std::string why;
    ASSERT_NE(findSimControl(&why), nullptr) << why;
    EXPECT_EQ(sim().peekWord(1, 6), 0x1234);
    reader::hardenLibrarySearch();
}

} // namespace
