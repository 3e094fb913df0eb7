// Code page conversion for the console's reader.
#include "win32_console_text.h"

#include <windows.h>

#include <vector>

std::string InCodePage(const std::string& text, unsigned fromCodePage, unsigned toCodePage)
{
    if (fromCodePage == toCodePage || text.empty()) {
        return text;
    }
    const int length = static_cast<int>(text.size());
    const int wideLength = ::MultiByteToWideChar(fromCodePage, 0, text.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return text;
    }
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
    ::MultiByteToWideChar(fromCodePage, 0, text.data(), length, wide.data(), wideLength);
    const int converted =
        ::WideCharToMultiByte(toCodePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (converted <= 0) {
        return text;
    }
    std::string result(static_cast<std::size_t>(converted), '\0');
    ::WideCharToMultiByte(toCodePage, 0, wide.data(), wideLength, &result[0], converted, nullptr,
                          nullptr);
    return result;
}

std::string ForConsole(const std::string& text)
{
    const UINT console = ::GetConsoleOutputCP(); // 0 without a console
    return console != 0 ? InCodePage(text, ::GetACP(), console) : text;
}
