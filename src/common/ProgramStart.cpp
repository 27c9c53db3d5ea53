#include "common/ProgramStart.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#endif

namespace bm {

#ifdef _WIN32

namespace {

std::string Utf8(const wchar_t* text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.pop_back();  // the terminating NUL
    return out;
}

UINT g_consoleCodePage = 0;

void RestoreConsoleCodePage()
{
    if (g_consoleCodePage)
        SetConsoleOutputCP(g_consoleCodePage);
}

}  // namespace

std::vector<std::string> ProgramArguments(int, char**)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(Utf8(wide[i]));
    if (wide)
        LocalFree(wide);
    return args;
}

std::string EnvironmentText(const char* name)
{
    std::wstring wideName;
    for (const char* c = name; *c; ++c)
        wideName += static_cast<wchar_t>(static_cast<unsigned char>(*c));  // names are ASCII
    const wchar_t* value = _wgetenv(wideName.c_str());
    return value ? Utf8(value) : std::string();
}

void UseExactStandardStreams()
{
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const UINT page = GetConsoleOutputCP();
    if (page != 0 && page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        g_consoleCodePage = page;
        std::atexit(RestoreConsoleCodePage);
    }
}

#else

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::string EnvironmentText(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

void UseExactStandardStreams() {}

#endif

}  // namespace bm
