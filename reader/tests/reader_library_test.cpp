#include "reader/reader_library.h"
#include "reader/reader_link.h"

#include "test_support.h"

#include <filesystem>
#include <fstream>
#include <functional>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using reader::ReaderLibrary;

using BindingTest = SimulatedReaderTest;

std::string outcome(const reader::CallResult &result)
{
    return result.called() ? std::string("called") : result.error().message();
}

TEST_F(BindingTest, PassesEveryArgumentIntactAndReturnsTheResult)
{
    ReaderLibrary library;
    const int32_t handle = library.openComm(9).value();
    // The call reached the library whose control functions this test uses: one instance.
    ASSERT_EQ(callsOf(SimOpenComm), 1);

    EXPECT_EQ(library.writeTagSingleWord(handle, 1, 6, 0xAB, 0xCD).value(), 1);
    EXPECT_EQ(sim().peekWord(1, 6), 0xABCD);
    const SimCall write = calls().back();
    EXPECT_EQ(write.handle, handle);
    EXPECT_EQ(write.bank, 1);
    EXPECT_EQ(write.word, 6);
    EXPECT_EQ(write.high, 0xAB);
    EXPECT_EQ(write.low, 0xCD);

    sim().pokeWord(1, 7, 0x12F0);
    uint8_t buffer[2] = {};
    EXPECT_EQ(library.readTag(handle, 1, 7, 1, buffer).value(), 1);
    EXPECT_EQ(buffer[0], 0x12); // high byte first
    EXPECT_EQ(buffer[1], 0xF0);

    EXPECT_EQ(library.closeComm(handle).value(), 1);
    EXPECT_EQ(library.writeTagSingleWord(handle, 1, 6, 0, 0).value(), 0);
}

// A missing library is named, and the next call tries again. A second library on the search
// path, the simulated reader, answers only while nothing loads from the fixed path; once
// something does, every function comes from there, as the handles that its OpenComm gives
// must.
TEST_F(BindingTest, EveryFunctionComesFromTheFixedPathOnceItLoads)
{
    const auto folder = std::filesystem::temp_directory_path() / "tagwright-fixed-path-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string fixed =
        (folder / ("fixed" + std::filesystem::path(partialLibrary()).extension().string()))
            .string();
    const std::string second = reader::defaultLibraryFiles().fixedPath;
    {
        ReaderLibrary library({fixed, second});
        EXPECT_EQ(library.writeTagSingleWord(-1, 1, 6, 0, 0).value(), 0);
        EXPECT_EQ(outcome(library.openComm(9)),
                  "Reader library " + fixed + " not found: cannot call OpenComm");
        // The link reports it as the status line's text, and stays closed.
        reader::ReaderLink link(library);
        EXPECT_EQ(link.connect(), outcome(library.openComm(9)));
        EXPECT_FALSE(link.isOpen());
        EXPECT_EQ(callsOf(SimWriteTagSingleWord), 1);
        EXPECT_EQ(callsOf(SimOpenComm), 0);

        std::filesystem::copy_file(partialLibrary(), fixed);
        EXPECT_EQ(library.openComm(9).value(), 77);
        EXPECT_EQ(outcome(library.writeTagSingleWord(77, 1, 6, 0, 0)),
                  "Reader library " + fixed + " has no function WriteTagSingleWord");
        EXPECT_EQ(callsOf(SimWriteTagSingleWord), 1);
    }
    {
        // The fixed path first: the search's library is never called.
        ReaderLibrary library({fixed, second});
        uint8_t buffer[2] = {};
        EXPECT_TRUE(library.readTag(-1, 1, 6, 1, buffer).called());
        EXPECT_FALSE(library.writeTagSingleWord(-1, 1, 6, 0, 0).called());
        EXPECT_EQ(calls().size(), 1u); // the first library's one write before
    }
    // The binding never unloads a library, and Windows keeps a loaded library's file: there
    // the folder goes at the next run's start.
    std::error_code kept;
    std::filesystem::remove_all(folder, kept);
}

// A reader library that is there but does not load is named for its cause, at OpenComm and
// at the other functions alike (whose search by name finds nothing else), and the next call
// tries again: the companion that a library lacked, once put beside it, is found there.
TEST(LoadFailureTest, NamesWhyALibraryThatIsThereDoesNotLoad)
{
    namespace fs = std::filesystem;
    // A folder for each row: a library that loaded in the end stays loaded, and Windows
    // keeps its file.
    const fs::path folders = fs::temp_directory_path() / "tagwright-load-failure";
    fs::remove_all(folders);
    fs::path folder, fixed;
    const auto copy = [&](const std::string &name) {
        return [&, name] {
            fs::copy_file(besideTestProgram(name), fixed);
        };
    };
    // A good library with the byte at offset changed.
    const auto patched = [&](std::streamoff offset, char byte) {
        return [&, offset, byte] {
            copy(partialLibrary())();
            std::fstream(fixed, std::ios::in | std::ios::out | std::ios::binary)
                .seekp(offset)
                .put(byte);
        };
    };
    const std::string companion = fs::path(COMPANION_LIBRARY).filename().string();
    const struct
    {
        std::function<void()> put; // puts a file at the fixed path
        std::string cause;
    } rows[] = {
        {[&] { std::ofstream(fixed) << "not a library"; }, " is not a library"},
        {copy(NEEDS_COMPANION_LIBRARY), " needs " + companion + ", which is missing"},
        {[&] { std::ofstream{fixed}; }, " is cut short or damaged"},
        {[&] {
             copy(partialLibrary())();
             fs::resize_file(fixed, 4096); // the headers, and none of the code
         },
         " is cut short or damaged"},
#if defined(_WIN32)
        {copy("epcsdk64.dll"), " is a 64-bit library; this program needs the 32-bit EPCSDK.DLL"},
        {copy(INIT_FAILS_LIBRARY), " failed to start"},
        {copy(NEEDS_API_SET_LIBRARY), " needs api-ms-win-tagwright-l1-1-0.dll, which is missing"},
        // The machine, 0x014C, made 0x01C4 (ARM): the linker puts the PE header at 0x80.
        {patched(0x84, char(0xC4)), " is a library for another kind of processor"},
#else
        // The ELF class, then the machine: 32-bit, then AArch64.
        {patched(4, 1), " is a 32-bit library; this program needs the 64-bit libepcsdk.so"},
        {patched(18, char(183)), " is a library for another kind of processor"},
#endif
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.cause);
        folder = folders / std::to_string(&row - rows);
        fixed = folder / fs::path(reader::defaultLibraryFiles().fixedPath).filename();
        fs::create_directories(folder);
        row.put();
        ReaderLibrary library({fixed.string(), "tagwright-no-such-library"});
        const std::string expected =
            "Reader library " + fixed.string() + row.cause + ": cannot call ";
        EXPECT_EQ(outcome(library.openComm(9)), expected + "OpenComm");
        EXPECT_EQ(outcome(library.writeTagSingleWord(-1, 1, 6, 0, 0)),
                  expected + "WriteTagSingleWord");
        if (row.cause.find(companion) != std::string::npos) {
            fs::copy_file(besideTestProgram(COMPANION_LIBRARY), folder / companion);
            EXPECT_EQ(library.openComm(9).value(), 0xC0);
        }
    }
}

#if defined(_WIN32)
// Once the program has hardened the search, a reader library that loads a part of its own by
// name as it runs finds it beside itself or beside the program, and never in the working
// folder or on PATH, where anyone can put a file of that name.
TEST(LibrarySearchTest, AReaderLibraryFindsItsPartsBesideItselfAndTheProgram)
{
    namespace fs = std::filesystem;
    reader::hardenLibrarySearch();
    const fs::path root = fs::temp_directory_path() / "tagwright-library-parts";
    fs::remove_all(root);
    const fs::path beside = root / "library", working = root / "working", onPath = root / "path";
    for (const fs::path &folder : {beside, working, onPath})
        fs::create_directories(folder);
    const fs::path fixed = beside / "EPCSDK.DLL";
    fs::copy_file(besideTestProgram(LOADS_PART_LIBRARY), fixed);
    const fs::path program = fs::path(besideTestProgram(LOADS_PART_LIBRARY)).parent_path();
    const fs::path previousFolder = fs::current_path();
    std::wstring previousPath(32767, L'\0');
    previousPath.resize(GetEnvironmentVariableW(L"PATH", previousPath.data(), 32767));
    fs::current_path(working);
    SetEnvironmentVariableW(L"PATH", (onPath.wstring() + L";" + previousPath).c_str());

    ReaderLibrary library({fixed.string(), "tagwright-no-such-library"});
    const struct
    {
        fs::path folder; // where the part lies
        int32_t mark;    // OpenComm's answer: the part's mark, or -1 when it was not found
    } rows[] = {{working, -1}, {onPath, -1}, {program, 0xC0}, {beside, 0xC0}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.folder.string());
        // A name of its own: the companion itself is loaded by an earlier test.
        const fs::path part = row.folder / "tagwright_part.dll";
        fs::copy_file(besideTestProgram(COMPANION_LIBRARY), part);
        EXPECT_EQ(library.openComm(9).value(), row.mark);
        fs::remove(part);
    }
    fs::current_path(previousFolder);
    SetEnvironmentVariableW(L"PATH", previousPath.c_str());
}
#endif

} // namespace
