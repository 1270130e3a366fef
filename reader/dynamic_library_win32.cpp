#include "reader/dynamic_library.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
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

// Windows 8 and later, and Windows 7 with its update KB2533623, have it, and with it the
// loader's LOAD_LIBRARY_SEARCH_* flags; it is looked up, so that the program still starts
// on a Windows 7 without the update.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI *)(DWORD);
SetDefaultDllDirectoriesFn setDefaultDllDirectories()
{
    static const auto function =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void *>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    return function;
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

std::wstring systemFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) + L"\\" : L"";
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

// What the headers and the import table of a PE file say, read with every offset checked:
// the file is whatever an operator put there.
struct PeImage
{
    bool valid = false;
    int bits = 0;
    std::vector<std::string> imports;
};

class Bytes
{
public:
    explicit Bytes(const std::wstring &path)
    {
        // Read with the system's calls: the C++ streams would put much of the C++ library
        // into the program. A maker's DLL is far smaller than the limit; a larger file is
        // read only as far as that.
        constexpr DWORD kLimit = 64 << 20;
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        LARGE_INTEGER size{};
        DWORD read = 0;
        if (GetFileSizeEx(file, &size)) {
            m_bytes.resize(static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, kLimit)));
            if (!ReadFile(file, m_bytes.data(), static_cast<DWORD>(m_bytes.size()), &read, nullptr))
                read = 0;
        }
        m_bytes.resize(read);
        CloseHandle(file);
    }

    template <typename T> bool read(std::size_t offset, T &value) const
    {
        if (offset > m_bytes.size() || m_bytes.size() - offset < sizeof value)
            return false;
        std::memcpy(&value, m_bytes.data() + offset, sizeof value);
        return true;
    }

    std::string text(std::size_t offset) const
    {
        std::string text;
        while (offset < m_bytes.size() && m_bytes[offset] != '\0' && text.size() < MAX_PATH)
            text.push_back(m_bytes[offset++]);
        return text;
    }

private:
    std::vector<char> m_bytes;
};

PeImage readPeImage(const std::wstring &path)
{
    const Bytes bytes(path);
    PeImage image;
    uint16_t mz = 0, magic = 0, sectionCount = 0, optionalSize = 0;
    uint32_t peOffset = 0, signature = 0;
    if (!bytes.read(0, mz) || mz != IMAGE_DOS_SIGNATURE || !bytes.read(0x3C, peOffset) ||
        !bytes.read(peOffset, signature) || signature != IMAGE_NT_SIGNATURE)
        return image;
    const std::size_t fileHeader = std::size_t{peOffset} + 4;
    const std::size_t optional = fileHeader + sizeof(IMAGE_FILE_HEADER);
    if (!bytes.read(fileHeader + 2, sectionCount) || !bytes.read(fileHeader + 16, optionalSize) ||
        !bytes.read(optional, magic))
        return image;
    // The data directories follow the optional header's fixed part, whose size depends on
    // the width; the import table is the second directory.
    std::size_t directories = 0;
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        image.bits = 32;
        directories = optional + 96;
    } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        image.bits = 64;
        directories = optional + 112;
    } else {
        return image;
    }
    image.valid = true;

    uint32_t importRva = 0;
    if (!bytes.read(directories + 8, importRva) || importRva == 0)
        return image;
    const std::size_t sections = optional + optionalSize;
    const auto offsetOf = [&](uint32_t rva) -> std::size_t {
        for (std::size_t i = 0; i < sectionCount; ++i) {
            const std::size_t section = sections + i * sizeof(IMAGE_SECTION_HEADER);
            uint32_t virtualSize = 0, address = 0, rawSize = 0, rawOffset = 0;
            if (!bytes.read(section + 8, virtualSize) || !bytes.read(section + 12, address) ||
                !bytes.read(section + 16, rawSize) || !bytes.read(section + 20, rawOffset))
                break;
            if (rva >= address && rva - address < std::max(virtualSize, rawSize))
                return rva - address < rawSize ? std::size_t{rawOffset} + (rva - address) : 0;
        }
        return 0;
    };
    const std::size_t descriptors = offsetOf(importRva);
    // Each import descriptor names one library; a zero name ends the table.
    for (std::size_t i = 0; descriptors != 0 && i < 4096; ++i) {
        uint32_t nameRva = 0;
        if (!bytes.read(descriptors + i * sizeof(IMAGE_IMPORT_DESCRIPTOR) + 12, nameRva) ||
            nameRva == 0)
            break;
        if (const std::size_t name = offsetOf(nameRva); name != 0)
            image.imports.push_back(bytes.text(name));
    }
    return image;
}

std::wstring lowered(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), towlower);
    return text;
}

// The first library that the one at path needs, itself or through another that it needs,
// which is neither loaded already nor where the loader looks for it (beside the library
// that needs it, then in the system's folder). Empty when every one is there.
std::string missingDependency(const std::wstring &path, std::set<std::wstring> &seen)
{
    for (const std::string &import : readPeImage(path).imports) {
        const std::wstring name = widened(import), key = lowered(name);
        if (name.empty() || !seen.insert(key).second)
            continue;
        // Loaded, with all that it needs; and the API sets, which the loader resolves itself.
        if (GetModuleHandleW(name.c_str()) != nullptr || key.starts_with(L"api-ms-") ||
            key.starts_with(L"ext-ms-"))
            continue;
        std::wstring found;
        for (const std::wstring &folder : {folderOf(path), systemFolder()}) {
            if (found.empty() && isFile(folder + name))
                found = folder + name;
        }
        if (found.empty())
            return import;
        if (std::string deeper = missingDependency(found, seen); !deeper.empty())
            return deeper;
    }
    return {};
}

std::string systemText(DWORD error)
{
    wchar_t *buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = buffer != nullptr ? buffer : L"";
    LocalFree(buffer);
    while (!text.empty() && (iswspace(text.back()) || text.back() == L'.'))
        text.pop_back();
    return "error " + std::to_string(error) + (text.empty() ? "" : ": " + narrowed(text));
}

LoadError describe(const std::wstring &path, DWORD error)
{
    if (path.empty() || !isFile(path))
        return {LoadFailure::NotFound, {}};
    switch (error) {
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
    case ERROR_BAD_FORMAT:
        if (const PeImage image = readPeImage(path); !image.valid)
            return {LoadFailure::NotALibrary, {}};
        else if (image.bits != kProgramBits)
            return {LoadFailure::OtherWidth, {}};
        break;
    case ERROR_MOD_NOT_FOUND: {
        std::set<std::wstring> seen;
        return {LoadFailure::MissingDependency, missingDependency(path, seen)};
    }
    case ERROR_DLL_INIT_FAILED:
        return {LoadFailure::InitialisationFailed, {}};
    }
    return {LoadFailure::Other, systemText(error)};
}

} // namespace

void *openLibrary(const std::string &file, LoadError *why)
{
    const std::wstring path = located(widened(file));
    HMODULE module = nullptr;
    DWORD error = ERROR_MOD_NOT_FOUND;
    if (!path.empty()) {
        // The libraries that it needs in turn are looked for beside it, where a maker puts
        // them, then in the system's folder; never in the program's folder or on PATH.
        const DWORD search = setDefaultDllDirectories() != nullptr
                                 ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                                 : LOAD_WITH_ALTERED_SEARCH_PATH;
        // No error dialog boxes from the loader, on this thread alone: the caller reports
        // a library that does not load itself.
        DWORD previous = 0;
        SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
        module = LoadLibraryExW(path.c_str(), nullptr, search);
        error = GetLastError();
        SetThreadErrorMode(previous, nullptr);
    }
    if (module == nullptr && why != nullptr)
        *why = describe(path, error);
    return reinterpret_cast<void *>(module);
}

void *librarySymbol(void *library, const char *name)
{
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void *library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}

void restrictLibrarySearch()
{
    if (const auto restrict = setDefaultDllDirectories()) {
        // The libraries that Windows' own components load by name come from the system's
        // folder alone: neither the working folder nor the program's (often Downloads) nor
        // PATH can put one of their own in their place.
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
        return;
    }
    // Without it, a folder given here takes the working folder's place in the search; the
    // program's own folder, which the search tries first anyway, adds nothing else to it.
    SetDllDirectoryW(programFolder().c_str());
}

} // namespace reader::platform
