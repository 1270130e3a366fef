// The reader library's binding on the Windows loader: OpenComm comes from C:\EPCSDK.DLL,
// the other functions reach that same loaded library by name, and an EPCSDK.DLL planted in
// the working folder is never loaded.
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

constexpr const char *kSearchName = "EPCSDK.DLL";

// A working folder with an EPCSDK.DLL planted in it, made the current folder for the
// object's lifetime. The test program's own folder, which the loader searches first, holds
// no EPCSDK.DLL.
class PlantedWorkingFolder
{
public:
    PlantedWorkingFolder()
        : m_previous(fs::current_path()),
          m_folder(fs::temp_directory_path() / "tagwright-planted-library")
    {
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        fs::copy_file(besideTestProgram(PLANTED_LIBRARY_NAME), m_folder / kSearchName);
        fs::current_path(m_folder);
    }
    ~PlantedWorkingFolder()
    {
        fs::current_path(m_previous);
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    PlantedWorkingFolder(const PlantedWorkingFolder &) = delete;
    PlantedWorkingFolder &operator=(const PlantedWorkingFolder &) = delete;

private:
    fs::path m_previous;
    fs::path m_folder;
};

// The file that the loaded module of that name came from; empty when none is loaded.
std::string loadedFrom(const char *moduleName)
{
    HMODULE module = GetModuleHandleA(moduleName);
    if (module == nullptr)
        return {};
    char file[MAX_PATH] = {};
    GetModuleFileNameA(module, file, MAX_PATH);
    return file;
}

// The message that the status line shows for a call whose library cannot be loaded.
void expectNotFound(const CallResult &result, const std::string &library, const char *function)
{
    ASSERT_FALSE(result.called()) << function << " answered " << result.value();
    EXPECT_EQ(result.error().message(),
              "Reader library " + library + " not found: cannot call " + function);
}

TEST(WithoutReaderLibrary, EveryCallNamesTheMissingLibraryAndNothingCrashes)
{
    ASSERT_FALSE(fs::exists("C:\\EPCSDK.DLL")) << "this suite runs before the library is there";
    reader::hardenLibrarySearch();
    ReaderLibrary library;
    uint8_t buffer[2] = {};
    expectNotFound(library.openComm(9), "C:\\EPCSDK.DLL", "OpenComm");
    expectNotFound(library.closeComm(1), kSearchName, "CloseComm");
    expectNotFound(library.readTag(1, 1, 6, 1, buffer), kSearchName, "ReadTag");
    expectNotFound(library.writeTagSingleWord(1, 1, 6, 0, 0), kSearchName, "WriteTagSingleWord");
}

TEST(WithoutReaderLibrary, APlantedLibraryIsNotLoadedButWouldBeWithoutTheHardening)
{
    PlantedWorkingFolder planted;

    reader::hardenLibrarySearch();
    {
        ReaderLibrary library;
        const CallResult write = library.writeTagSingleWord(1, 1, 6, 0, 0);
        ASSERT_FALSE(write.called()) << "the planted library answered " << write.value();
        EXPECT_FALSE(write.error().libraryLoaded);
        EXPECT_EQ(loadedFrom(kSearchName), "");
    }

    // The loader's default search does reach the planted library: the case above is real.
    SetDllDirectoryW(nullptr);
    {
        ReaderLibrary library;
        const CallResult write = library.writeTagSingleWord(1, 1, 6, 0, 0);
        ASSERT_TRUE(write.called()) << write.error().message();
        EXPECT_EQ(write.value(), PLANTED_LIBRARY_MARK);
    }
    reader::hardenLibrarySearch();
}

TEST(WithReaderLibrary, NamedFunctionsUseTheLibraryLoadedFromTheFixedPath)
{
    PlantedWorkingFolder planted;
    reader::hardenLibrarySearch();
    ReaderLibrary library;

    // Before OpenComm nothing has loaded C:\EPCSDK.DLL, and the search by name neither
    // finds it nor the planted library.
    const CallResult early = library.writeTagSingleWord(0x5A01, 1, 6, 0x12, 0x34);
    ASSERT_FALSE(early.called()) << "an EPCSDK.DLL answered " << early.value();
    EXPECT_FALSE(early.error().libraryLoaded);

    const CallResult handle = library.openComm(9);
    ASSERT_TRUE(handle.called()) << handle.error().message();
    ASSERT_NE(handle.value(), -1);
    EXPECT_STRCASEEQ(loadedFrom(kSearchName).c_str(), "C:\\EPCSDK.DLL");

    // The same call again now binds to the library loaded from the fixed path, and the
    // handle that its OpenComm returned works there.
    const CallResult write = library.writeTagSingleWord(handle.value(), 1, 6, 0x12, 0x34);
    ASSERT_TRUE(write.called()) << write.error().message();
    EXPECT_EQ(write.value(), 1);
    std::string why;
    ASSERT_NE(findSimControl(&why), nullptr) << why;
    EXPECT_EQ(sim().peekWord(1, 6), 0x1234);
}

} // namespace
