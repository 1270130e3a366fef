#include "test_support.h"

#include "reader/dynamic_library.h"
#include "reader/reader_library.h"
#include "simreader/sim_log.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <type_traits>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

struct Found
{
    std::optional<SimControl> control;
    std::string why;
};

Found bindSimControl()
{
    namespace platform = reader::platform;
    const std::string file = reader::defaultLibraryFiles().fixedPath;
    // Kept loaded until the test program ends.
    platform::LoadError why;
    void *library = platform::openLibrary(file, &why);
    if (library == nullptr)
        return {std::nullopt, reader::BindError{file, "SimReset", why}.message()};

    SimControl control{};
    std::string missing;
    const auto bind = [&](auto &function, const char *name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
            platform::librarySymbol(library, name));
        if (function == nullptr && missing.empty())
            missing = name;
    };
    bind(control.reset, "SimReset");
    bind(control.setReaderPresent, "SimSetReaderPresent");
    bind(control.setTagPresent, "SimSetTagPresent");
    bind(control.failWordAddress, "SimFailWordAddress");
    bind(control.leaveAfterNextWrite, "SimLeaveAfterNextWrite");
    bind(control.peekWord, "SimPeekWord");
    bind(control.pokeWord, "SimPokeWord");
    bind(control.callCount, "SimCallCount");
    bind(control.callAt, "SimCallAt");
    bind(control.setCallHook, "SimSetCallHook");
    bind(control.nestedCalls, "SimNestedCalls");
    if (!missing.empty())
        return {std::nullopt, file + " has no function " + missing};
    return {control, {}};
}

} // namespace

const SimControl *findSimControl(std::string *why)
{
    static const Found found = bindSimControl();
    if (why != nullptr)
        *why = found.why;
    return found.control ? &*found.control : nullptr;
}

const SimControl &sim()
{
    return *findSimControl();
}

std::string besideTestProgram(const std::string &fileName)
{
#if defined(_WIN32)
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::filesystem::path folder = std::filesystem::path(program).parent_path();
#else
    const std::filesystem::path folder =
        std::filesystem::read_symlink("/proc/self/exe").parent_path();
#endif
    return (folder / fileName).string();
}

std::string partialLibrary()
{
    return besideTestProgram(PARTIAL_LIBRARY_NAME);
}

std::vector<SimCall> SimulatedReaderTest::calls()
{
    return simCalls(sim().callCount, sim().callAt);
}

std::vector<SimCall> SimulatedReaderTest::callsSince(size_t first)
{
    std::vector<SimCall> all = calls();
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())));
    return all;
}

int SimulatedReaderTest::callsOf(SimFunction function)
{
    return simCallsOf(function, calls());
}
