#include "reader/dynamic_library.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace reader::platform {

namespace {

std::wstring widened(const std::string &text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

std::string narrowed(const std::wstring &wide)
{
    std::string text(wide.size() * 3, '\0');
    text.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                            static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
}

// Windows 8 and later, and Windows 7 with its update KB2533623, have these, and with them the
// loader's LOAD_LIBRARY_SEARCH_* flags. They are looked up, so that the program still starts
// on a Windows 7 without the update.
struct SearchFunctions
{
    BOOL(WINAPI *setDefaultDllDirectories)(DWORD) = nullptr;
    DLL_DIRECTORY_COOKIE(WINAPI *addDllDirectory)(PCWSTR) = nullptr;
    BOOL(WINAPI *removeDllDirectory)(DLL_DIRECTORY_COOKIE) = nullptr;
};

template <typename Function> void lookUp(Function &function, const char *name)
{
    function = reinterpret_cast<Function>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

// Null when the system lacks any of them.
const SearchFunctions *searchFunctions()
{
    static const SearchFunctions functions = [] {
        SearchFunctions found;
        lookUp(found.setDefaultDllDirectories, "SetDefaultDllDirectories");
        lookUp(found.addDllDirectory, "AddDllDirectory");
        lookUp(found.removeDllDirectory, "RemoveDllDirectory");
        return found;
    }();
    const bool all = functions.setDefaultDllDirectories != nullptr &&
                     functions.addDllDirectory != nullptr &&
                     functions.removeDllDirectory != nullptr;
    return all ? &functions : nullptr;
}

// Up to and including the last separator.
std::wstring folderOf(const std::wstring &path)
{
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring programFolder()
{
    std::wstring program(32768, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    return folderOf(program);
}

// A folder that the system names (GetSystemDirectoryW, GetWindowsDirectoryW), with its
// separator; empty where it gives none.
std::wstring folderNamedBy(UINT(WINAPI *name)(LPWSTR, UINT))
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = name(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) + L"\\" : L"";
}

std::wstring systemFolder()
{
    return folderNamedBy(GetSystemDirectoryW);
}

std::wstring windowsFolder()
{
    return folderNamedBy(GetWindowsDirectoryW);
}

// The folders of the reader libraries loaded so far, each added to the loader's search once
// it has loaded, and never taken out: a library is never unloaded.
std::vector<std::wstring> &libraryFolders()
{
    static std::vector<std::wstring> folders;
    return folders;
}

// Where the loader looks for a library that the one at library (or a library that it needs,
// at any depth) names without a folder, once the search is restricted (restrictLibrarySearch);
// the loaded libraries and the system's own (KnownDLLs) aside.
//  - Windows 8 and later, and 7 with KB2533623: the library's folder, the program's, the
//    folders of the reader libraries loaded (in an order that Windows leaves open), System32.
//  - Windows 7 without it: the library's folder, the folder of the reader library that loaded
//    last, System32, the Windows folder, then PATH.
std::vector<std::wstring> dependencyFolders(const std::wstring &library)
{
    std::vector<std::wstring> folders{folderOf(library)};
    if (searchFunctions() != nullptr) {
        folders.push_back(programFolder());
        folders.insert(folders.end(), libraryFolders().begin(), libraryFolders().end());
        folders.push_back(systemFolder());
        return folders;
    }
    if (!libraryFolders().empty())
        folders.push_back(libraryFolders().back());
    folders.push_back(systemFolder());
    folders.push_back(windowsFolder());
    std::wstring path(32767, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), static_cast<DWORD>(path.size())));
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find(L';', start), path.size());
        if (end > start)
            folders.push_back(path.substr(start, end - start) + L"\\");
        start = end + 1;
    }
    return folders;
}

bool isFile(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file that the loader is given: a name without a folder is looked for in the
// program's folder, then in the system's; empty when neither has it.
std::wstring located(const std::wstring &file)
{
    if (file.find_first_of(L"\\/:") != std::wstring::npos)
        return file;
    for (const std::wstring &folder : {programFolder(), systemFolder()}) {
        if (isFile(folder + file))
            return folder + file;
    }
    return {};
}

// A file read at offsets with the system's calls (the C++ streams would put much of the C++
// library into the program): only the headers and the import table that are needed.
class File
{
public:
    explicit File(const std::wstring &path)
        : m_handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr))
    {
        LARGE_INTEGER size{};
        if (m_handle != INVALID_HANDLE_VALUE && GetFileSizeEx(m_handle, &size))
            m_size = static_cast<uint64_t>(size.QuadPart);
    }
    ~File()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    bool opened() const { return m_handle != INVALID_HANDLE_VALUE; }
    uint64_t size() const { return m_size; }
    // Whether the length bytes at offset lie inside the file, and were read. They come from
    // the block of the file that the last read left, when it holds them: the headers lie in
    // the first, and the names of the libraries imported mostly in one.
    bool read(uint64_t offset, void *to, uint64_t length)
    {
        if (offset > m_size || length > m_size - offset)
            return false;
        if (offset < m_at || offset - m_at + length > m_block.size()) {
            m_at = offset;
            m_block.resize(std::min<uint64_t>(std::max<uint64_t>(length, 4096), m_size - offset));
            LARGE_INTEGER at{};
            at.QuadPart = static_cast<LONGLONG>(offset);
            DWORD got = 0;
            if (!SetFilePointerEx(m_handle, at, nullptr, FILE_BEGIN) ||
                !ReadFile(m_handle, m_block.data(), static_cast<DWORD>(m_block.size()), &got,
                          nullptr))
                got = 0;
            m_block.resize(got);
            if (got < length)
                return false;
        }
        if (length > 0)
            std::memcpy(to, m_block.data() + (offset - m_at), length);
        return true;
    }
    template <typename T> bool read(uint64_t offset, T &value)
    {
        return read(offset, &value, sizeof value);
    }

private:
    HANDLE m_handle;
    uint64_t m_size = 0;
    uint64_t m_at = 0;
    std::vector<char> m_block;
};

// Windows XP's loader takes no more than 96 sections, and a linker makes fewer than 20: the
// sections after the 96th are not read. A file with more still counts as a library; only
// what lies in those sections goes unchecked.
constexpr WORD kMaxSections = 96;
// A library needs a handful of others; one that names more than this has the rest unchecked.
constexpr std::size_t kMaxImports = 64;

// What a PE file's headers say, read with every offset checked: the file is whatever an
// operator put there.
struct PeHeaders
{
    std::optional<LoadFailure> fault; // NotALibrary or Damaged; none for a library
    int bits = 0;
    WORD machine = 0;
    IMAGE_DATA_DIRECTORY imports{};
    std::vector<IMAGE_SECTION_HEADER> sections;
};

PeHeaders readHeaders(File &file)
{
    const auto faulty = [](LoadFailure cause) {
        PeHeaders headers;
        headers.fault = cause;
        return headers;
    };
    IMAGE_DOS_HEADER dos{};
    const auto got = std::min<uint64_t>(file.size(), sizeof dos);
    if (got == 0 || !file.read(0, &dos, got))
        return faulty(LoadFailure::Damaged);
    if (std::memcmp(&dos.e_magic, "MZ", std::min<uint64_t>(got, 2)) != 0)
        return faulty(LoadFailure::NotALibrary);
    if (got < sizeof dos)
        return faulty(LoadFailure::Damaged);
    // The optional header's first field, its magic, tells its width and so its layout.
    union {
        IMAGE_NT_HEADERS32 n32;
        IMAGE_NT_HEADERS64 n64;
    } nt{};
    const uint64_t at = static_cast<uint32_t>(dos.e_lfanew);
    if (!file.read(at, &nt, offsetof(IMAGE_NT_HEADERS32, OptionalHeader.Magic) + sizeof(WORD)) ||
        nt.n32.Signature != IMAGE_NT_SIGNATURE)
        return faulty(LoadFailure::NotALibrary);
    PeHeaders headers;
    headers.machine = nt.n32.FileHeader.Machine;
    const IMAGE_DATA_DIRECTORY *directories = nullptr;
    DWORD directoryCount = 0;
    if (nt.n32.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC && file.read(at, nt.n32)) {
        headers.bits = 32;
        directories = nt.n32.OptionalHeader.DataDirectory;
        directoryCount = nt.n32.OptionalHeader.NumberOfRvaAndSizes;
    } else if (nt.n64.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC &&
               file.read(at, nt.n64)) {
        headers.bits = 64;
        directories = nt.n64.OptionalHeader.DataDirectory;
        directoryCount = nt.n64.OptionalHeader.NumberOfRvaAndSizes;
    } else {
        return faulty(LoadFailure::Damaged); // an image whose optional header is cut or unknown
    }
    if (directoryCount > IMAGE_DIRECTORY_ENTRY_IMPORT)
        headers.imports = directories[IMAGE_DIRECTORY_ENTRY_IMPORT];
    // The section table follows the optional header, whose size the file header gives; the
    // loader refuses a section whose data lies past the end of the file.
    headers.sections.resize(std::min(nt.n32.FileHeader.NumberOfSections, kMaxSections));
    const uint64_t table =
        at + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt.n32.FileHeader.SizeOfOptionalHeader;
    if (!file.read(table, headers.sections.data(),
                   headers.sections.size() * sizeof(IMAGE_SECTION_HEADER)))
        return faulty(LoadFailure::Damaged);
    for (const IMAGE_SECTION_HEADER &section : headers.sections) {
        if (uint64_t{section.PointerToRawData} + section.SizeOfRawData > file.size())
            return faulty(LoadFailure::Damaged);
    }
    return headers;
}

// Where in the file the byte at rva lies, by the section map; none when no section's data
// in the file holds it.
std::optional<uint64_t> fileOffset(const PeHeaders &headers, uint32_t rva)
{
    for (const IMAGE_SECTION_HEADER &section : headers.sections) {
        const uint64_t into = uint64_t{rva} - section.VirtualAddress;
        if (rva >= section.VirtualAddress && into < section.SizeOfRawData)
            return uint64_t{section.PointerToRawData} + into;
    }
    return std::nullopt;
}

// The names of the libraries that a library's import table names, each in one descriptor;
// a descriptor without a name ends the table.
std::vector<std::string> readImports(const std::wstring &path)
{
    File file(path);
    const PeHeaders headers = readHeaders(file);
    const std::optional<uint64_t> table = fileOffset(headers, headers.imports.VirtualAddress);
    if (headers.fault || headers.imports.VirtualAddress == 0 || !table)
        return {};
    std::vector<IMAGE_IMPORT_DESCRIPTOR> descriptors(
        std::min<uint64_t>(kMaxImports, (file.size() - *table) / sizeof(IMAGE_IMPORT_DESCRIPTOR)));
    std::vector<std::string> names;
    if (!file.read(*table, descriptors.data(),
                   descriptors.size() * sizeof(IMAGE_IMPORT_DESCRIPTOR)))
        return names;
    for (const IMAGE_IMPORT_DESCRIPTOR &descriptor : descriptors) {
        if (descriptor.Name == 0)
            break;
        char name[MAX_PATH + 1] = {};
        if (const auto at = fileOffset(headers, descriptor.Name))
            file.read(*at, name, std::min<uint64_t>(MAX_PATH, file.size() - *at));
        names.emplace_back(name);
    }
    return names;
}

std::wstring lowered(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), towlower);
    return text;
}

// Loads the file with the loader's error boxes off, on this thread alone: the caller reports
// a library that does not load itself. The error is the loader's, or ERROR_SUCCESS.
HMODULE loadQuietly(const wchar_t *file, DWORD search, DWORD &error)
{
    DWORD previous = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    const HMODULE module = LoadLibraryExW(file, nullptr, search);
    error = module != nullptr ? ERROR_SUCCESS : GetLastError();
    SetThreadErrorMode(previous, nullptr);
    return module;
}

// The search for the libraries that a reader library needs; with the flags, its own folder
// first (LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR asks for a full path).
DWORD searchFlags(bool fullPath)
{
    if (searchFunctions() == nullptr)
        return fullPath ? LOAD_WITH_ALTERED_SEARCH_PATH : 0;
    return (fullPath ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR : 0) | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
}

// Whether the loader itself resolves a name that lies in none of the folders searched: an
// API set, which it maps to a library of the system's, or a runtime in the side-by-side
// store, which the manifest of the library that names it (importer) asks for. It is asked
// with the same search as the real load, in the importer's activation context; what it loads
// is the system's, and is let go.
bool loaderResolves(const std::wstring &name, const std::wstring &importer)
{
    ACTCTXW manifest{};
    manifest.cbSize = sizeof manifest;
    manifest.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    manifest.lpSource = importer.c_str();
    manifest.lpResourceName = MAKEINTRESOURCEW(2); // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
    const HANDLE context = CreateActCtxW(&manifest);
    ULONG_PTR cookie = 0;
    const bool active = context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie);
    DWORD error = 0;
    const HMODULE module = loadQuietly(name.c_str(), searchFlags(false), error);
    if (active)
        DeactivateActCtx(0, cookie);
    if (context != INVALID_HANDLE_VALUE)
        ReleaseActCtx(context);
    if (module != nullptr)
        FreeLibrary(module);
    return module != nullptr;
}

// The first library that the one at path needs, itself or through another that it needs,
// which is neither loaded already, nor in a folder that the loader searches for the reader
// library at library, nor resolved by the loader itself. Empty when every one is there.
std::string missingDependency(const std::wstring &path, const std::wstring &library,
                              std::set<std::wstring> &seen)
{
    for (const std::string &import : readImports(path)) {
        const std::wstring name = widened(import);
        if (name.empty() || !seen.insert(lowered(name)).second ||
            GetModuleHandleW(name.c_str()) != nullptr)
            continue;
        std::wstring found;
        for (const std::wstring &folder : dependencyFolders(library)) {
            if (found.empty() && isFile(folder + name))
                found = folder + name;
        }
        if (found.empty()) {
            if (loaderResolves(name, path))
                continue;
            return import;
        }
        if (std::string deeper = missingDependency(found, library, seen); !deeper.empty())
            return deeper;
    }
    return {};
}

// The system's text for error, with its "%1" filled in with the file's path; a text that
// needs more than that is left out, rather than shown with its placeholders.
std::string systemText(DWORD error, const std::wstring &path)
{
    wchar_t *buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = buffer != nullptr ? buffer : L"";
    LocalFree(buffer);
    if (const auto insert = text.find(L"%1"); insert != std::wstring::npos)
        text.replace(insert, 2, path);
    if (text.find(L'%') != std::wstring::npos)
        text.clear();
    while (!text.empty() && (iswspace(text.back()) || text.back() == L'.'))
        text.pop_back();
    return "error " + std::to_string(error) + (text.empty() ? "" : ": " + narrowed(text));
}

constexpr WORD kProgramMachine =
    kProgramBits == 64 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;

// Why the loader refused the file at path, told first from the file's own headers, whatever
// the loader's error: they say it plainly where the loader's codes differ between versions
// (an empty file gives error 1006, "the volume ... has been externally altered").
LoadError describe(const std::wstring &path, DWORD error)
{
    if (path.empty() || !isFile(path))
        return {LoadFailure::NotFound, {}};
    if (File file(path); file.opened()) {
        const PeHeaders headers = readHeaders(file);
        if (headers.fault)
            return {*headers.fault, {}};
        if (headers.bits != kProgramBits)
            return {LoadFailure::OtherWidth, {}};
        if (headers.machine != kProgramMachine)
            return {LoadFailure::OtherMachine, {}};
    }
    if (error == ERROR_MOD_NOT_FOUND) {
        std::set<std::wstring> seen;
        return {LoadFailure::MissingDependency, missingDependency(path, path, seen)};
    }
    if (error == ERROR_DLL_INIT_FAILED)
        return {LoadFailure::InitialisationFailed, {}};
    return {LoadFailure::Other, systemText(error, path)};
}

} // namespace

void *openLibrary(const std::string &file, LoadError *why)
{
    const std::wstring path = located(widened(file));
    HMODULE module = nullptr;
    DWORD error = ERROR_MOD_NOT_FOUND;
    if (!path.empty()) {
        // What it loads by name, as it loads and at any time after, is looked for in its own
        // folder, where a maker puts the parts of a library, as well as the program's and
        // the system's (dependencyFolders); its folder is added before its start-up code runs.
        const std::wstring folder = folderOf(path);
        const SearchFunctions *search = searchFunctions();
        const DLL_DIRECTORY_COOKIE added =
            search != nullptr ? search->addDllDirectory(folder.c_str()) : nullptr;
        if (search == nullptr)
            SetDllDirectoryW(folder.c_str());
        module = loadQuietly(path.c_str(), searchFlags(true), error);
        if (module != nullptr)
            libraryFolders().push_back(folder);
        else if (added != nullptr)
            search->removeDllDirectory(added);
        else if (search == nullptr)
            SetDllDirectoryW(libraryFolders().empty() ? programFolder().c_str()
                                                      : libraryFolders().back().c_str());
    }
    if (module == nullptr && why != nullptr)
        *why = describe(path, error);
    return reinterpret_cast<void *>(module);
}

void *librarySymbol(void *library, const char *name)
{
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void restrictLibrarySearch()
{
    if (const SearchFunctions *search = searchFunctions()) {
        // Every library loaded by name from now on, by Windows' own components and by the
        // reader library alike, comes from the program's folder, the reader libraries'
        // folders, or System32: never from the working folder or PATH, which anyone can
        // fill.
        search->setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
        return;
    }
    // Without it, a folder given here takes the working folder's place in the search, which
    // goes on to PATH all the same. The program's folder, which the search tries first
    // anyway, adds nothing else to it; a reader library that loads puts its own there.
    SetDllDirectoryW(programFolder().c_str());
}

} // namespace reader::platform
