// Reads the resources back from the built executable and compares them with
// what the program must carry, field by field: both dialog templates, the
// icon group, the dialog layout data, the version block and the manifest;
// and quorin-sync.exe's version block.
#include "resource.h"
#include "save_record.h"
#include "version.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr WORD kRussian = 1049;
constexpr WORD kEnglishUs = 1033;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

class Module {
public:
    explicit Module(const char* pszPath = QUORIN_EXECUTABLE)
        : m_hModule(::LoadLibraryExA(pszPath, nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~Module()
    {
        if (m_hModule != nullptr) {
            ::FreeLibrary(m_hModule);
        }
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    HMODULE Handle() const { return m_hModule; }

    std::vector<unsigned char> Resource(LPCSTR type, LPCSTR name, WORD language) const
    {
        HRSRC hResource = ::FindResourceExA(m_hModule, type, name, language);
        if (hResource == nullptr) {
            return {};
        }
        const auto* data = static_cast<const unsigned char*>(
            ::LockResource(::LoadResource(m_hModule, hResource)));
        return std::vector<unsigned char>(data, data + ::SizeofResource(m_hModule, hResource));
    }

    std::vector<WORD> Languages(LPCSTR type, LPCSTR name) const
    {
        std::vector<WORD> languages;
        ::EnumResourceLanguagesA(
            m_hModule, type, name,
            [](HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) -> BOOL {
                reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }

private:
    HMODULE m_hModule;
};

// A little-endian reader over a resource.
class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& data) : m_data(data), m_pos(0) {}

    WORD Word()
    {
        const WORD value = static_cast<WORD>(m_data.at(m_pos) | m_data.at(m_pos + 1) << 8);
        m_pos += 2;
        return value;
    }
    DWORD Dword()
    {
        const DWORD low = Word();
        return low | static_cast<DWORD>(Word()) << 16;
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return m_data.at(m_pos++); }
    void AlignDword() { m_pos = (m_pos + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t count) { m_pos += count; }

    // A UTF-16 string (ASCII here) or, after 0xFFFF, an ordinal as "#n".
    std::string SzOrOrd()
    {
        const WORD first = Word();
        if (first == 0xFFFF) {
            return "#" + std::to_string(Word());
        }
        std::string text;
        for (WORD c = first; c != 0; c = Word()) {
            text += static_cast<char>(c);
        }
        return text;
    }

private:
    const std::vector<unsigned char>& m_data;
    size_t m_pos;
};

struct Control {
    int id;
    std::string windowClass;
    std::string text;
    short x, y, cx, cy;
    DWORD style;
};

struct Template {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    std::string menu;
    std::string windowClass;
    std::string caption;
    WORD pointSize;
    WORD weight;
    BYTE italic;
    BYTE charset;
    std::string typeface;
    std::vector<Control> controls;
};

std::string ClassName(const std::string& ordinalOrName)
{
    if (ordinalOrName == "#" + std::to_string(kButtonClass)) {
        return "BUTTON";
    }
    if (ordinalOrName == "#" + std::to_string(kEditClass)) {
        return "EDIT";
    }
    if (ordinalOrName == "#" + std::to_string(kStaticClass)) {
        return "STATIC";
    }
    return ordinalOrName;
}

Template ParseTemplate(const std::vector<unsigned char>& data)
{
    Reader in(data);
    Template t{};
    EXPECT_EQ(in.Word(), 1) << "DLGTEMPLATEEX version";
    EXPECT_EQ(in.Word(), 0xFFFF) << "DLGTEMPLATEEX signature";
    in.Dword(); // help id
    t.exStyle = in.Dword();
    t.style = in.Dword();
    const WORD count = in.Word();
    t.x = in.Short();
    t.y = in.Short();
    t.cx = in.Short();
    t.cy = in.Short();
    t.menu = in.SzOrOrd();
    t.windowClass = in.SzOrOrd();
    t.caption = in.SzOrOrd();
    t.pointSize = in.Word();
    t.weight = in.Word();
    t.italic = in.Byte();
    t.charset = in.Byte();
    t.typeface = in.SzOrOrd();
    for (WORD i = 0; i < count; ++i) {
        in.AlignDword();
        Control c{};
        in.Dword(); // help id
        EXPECT_EQ(in.Dword(), 0u) << "control extended style";
        c.style = in.Dword();
        c.x = in.Short();
        c.y = in.Short();
        c.cx = in.Short();
        c.cy = in.Short();
        c.id = static_cast<int>(in.Dword());
        c.windowClass = ClassName(in.SzOrOrd());
        c.text = in.SzOrOrd();
        in.Skip(in.Word()); // creation data
        t.controls.push_back(c);
    }
    return t;
}

// The template's header as `expected` has it (its controls aside).
void ExpectHeader(const Template& actual, const Template& expected)
{
    EXPECT_EQ(actual.style, expected.style);
    EXPECT_EQ(actual.exStyle, expected.exStyle);
    EXPECT_EQ(std::vector<short>({actual.x, actual.y, actual.cx, actual.cy}),
              std::vector<short>({expected.x, expected.y, expected.cx, expected.cy}));
    EXPECT_EQ(actual.menu, expected.menu);
    EXPECT_EQ(actual.windowClass, expected.windowClass);
    EXPECT_EQ(actual.caption, expected.caption);
    EXPECT_EQ(actual.pointSize, expected.pointSize);
    EXPECT_EQ(actual.weight, expected.weight);
    EXPECT_EQ(actual.italic, expected.italic);
    EXPECT_EQ(actual.charset, expected.charset);
    EXPECT_EQ(actual.typeface, expected.typeface);
}

void ExpectControls(const std::vector<Control>& actual, const std::vector<Control>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        EXPECT_EQ(actual[i].id, expected[i].id);
        EXPECT_EQ(actual[i].windowClass, expected[i].windowClass);
        EXPECT_EQ(actual[i].text, expected[i].text);
        EXPECT_EQ(actual[i].x, expected[i].x);
        EXPECT_EQ(actual[i].y, expected[i].y);
        EXPECT_EQ(actual[i].cx, expected[i].cx);
        EXPECT_EQ(actual[i].cy, expected[i].cy);
        EXPECT_EQ(actual[i].style, expected[i].style);
    }
}

TEST(Resources, MainDialogTemplate)
{
    Module module;
    ASSERT_NE(module.Handle(), nullptr);
    const Template t =
        ParseTemplate(module.Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_SYNCOPTIONS_DIALOG), kRussian));
    ExpectHeader(t, {0x90C800C8u, 0x00040000u, 0, 0, 320, 170, "", "", QUORIN_CAPTION_TEXT, 8, 0, 0, 1,
                     "MS Shell Dlg", {}});
    ExpectControls(
        t.controls,
        {
            {IDOK, "BUTTON", "OK", 193, 147, 50, 16, 0x50010001},
            {IDCANCEL, "BUTTON", "Cancel", 263, 147, 50, 16, 0x50010000},
            {IDC_STATIC, "STATIC",
             "This application selects Quorin inputs of lines && frames sync signals.\nNote: you "
             "need to disconnect/connect USB cable or restart PC\nor press probe button in Lumora "
             "application to take effect of changes!",
             7, 7, 300, 24, 0x50020001},
            {IDC_ENABLE_SYNC, "BUTTON", "Enable synchronization", 7, 38, 89, 10, 0x50010003},
            {IDC_STATIC, "STATIC",
             "Number of Frames to scan after ultrasound frame synchronization pulse", 7, 76, 230, 8,
             0x50020000},
            {IDC_FRAMES_NUMBER, "EDIT", "", 7, 89, 40, 14, 0x50812080},
            {IDC_INPUT_FRAME, "BUTTON", "Ultrasound Frame input", 7, 55, 91, 10, 0x58020009},
            {IDC_INPUT_LINE, "BUTTON", "Ultrasound line input", 109, 55, 81, 10, 0x58000009},
            {IDC_INPUT_SCANSTART, "BUTTON", "ScanStart Input", 226, 55, 87, 10, 0x58000009},
            {IDC_STATIC, "STATIC",
             "The output signals: Ultrasound Line output, Ultrasound Frame output and ScanStart "
             "output- work automatically without additional settings",
             7, 113, 271, 24, 0x50020000},
        });
}

TEST(Resources, WarningDialogTemplate)
{
    Module module;
    const Template t =
        ParseTemplate(module.Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_SYNC_WARNING), kRussian));
    ExpectHeader(t, {0x80C800C8u, 0u, 0, 0, 180, 125, "", "", "WARNING!", 12, 700, 0, 0, "MS Shell Dlg", {}});
    ExpectControls(t.controls,
                   {
                       {IDOK, "BUTTON", "Agree", 64, 104, 50, 14, 0x50010000},
                       {IDCANCEL, "BUTTON", "Cancel", 123, 104, 50, 14, 0x50010001},
                       {IDC_WARNING_ICON, "STATIC", "#128", 7, 7, 13, 13, 0x50000003},
                       {IDC_WARNING_TEXT, "STATIC", "Static", 7, 26, 166, 60, 0x50020001},
                   });
}

TEST(Resources, IconGroupHasNineImagesInOrder)
{
    Module module;
    const std::vector<unsigned char> group =
        module.Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME), kRussian);
    ASSERT_FALSE(group.empty());
    Reader in(group);
    EXPECT_EQ(in.Word(), 0);
    EXPECT_EQ(in.Word(), 1);
    ASSERT_EQ(in.Word(), 9);
    const int sizes[] = {48, 32, 16};
    const int depths[] = {4, 8, 24};
    for (int depth : depths) {
        for (int size : sizes) {
            SCOPED_TRACE(std::to_string(size) + " px at " + std::to_string(depth) + " bits");
            EXPECT_EQ(in.Byte(), size);
            EXPECT_EQ(in.Byte(), size);
            EXPECT_EQ(in.Byte(), depth == 4 ? 16 : 0);
            in.Byte();
            EXPECT_EQ(in.Word(), 1);
            EXPECT_EQ(in.Word(), depth);
            const DWORD bytes = in.Dword();
            const WORD id = in.Word();
            EXPECT_EQ(module.Resource(RT_ICON, MAKEINTRESOURCEA(id), kRussian).size(), bytes);
        }
    }
}

TEST(Resources, DialogLayoutIsTwoZeroBytes)
{
    Module module;
    EXPECT_EQ(module.Resource("AFX_DIALOG_LAYOUT", MAKEINTRESOURCEA(IDD_SYNCOPTIONS_DIALOG), kRussian),
              (std::vector<unsigned char>{0, 0}));
}

// A program's version block, read as Windows' version API reads it.
class VersionBlock {
public:
    explicit VersionBlock(const char* path)
    {
        const DWORD size = ::GetFileVersionInfoSizeA(path, nullptr);
        m_block.resize(size);
        m_read = size > 0 && ::GetFileVersionInfoA(path, 0, size, m_block.data());
    }

    bool Read() const { return m_read; }

    const VS_FIXEDFILEINFO* Fixed()
    {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        return ::VerQueryValueA(m_block.data(), "\\", reinterpret_cast<void**>(&fixed), &length)
                   ? fixed
                   : nullptr;
    }

    std::string Text(const char* name)
    {
        char* value = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040904e4\\") + name;
        return ::VerQueryValueA(m_block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)
                   ? std::string(value)
                   : std::string("<missing>");
    }

    std::vector<WORD> Translation()
    {
        WORD* translation = nullptr;
        UINT length = 0;
        if (!::VerQueryValueA(m_block.data(), "\\VarFileInfo\\Translation",
                              reinterpret_cast<void**>(&translation), &length)) {
            return {};
        }
        return std::vector<WORD>(translation, translation + length / sizeof(WORD));
    }

private:
    std::vector<unsigned char> m_block;
    bool m_read = false;
};

// Both programs carry the version of res/version.h, so that a deployment
// tool can detect either by its file version, each under its own name and
// description.
TEST(Resources, VersionBlocksOfBothPrograms)
{
    Module module;
    EXPECT_EQ(module.Languages(RT_VERSION, MAKEINTRESOURCEA(1)), std::vector<WORD>{kRussian});
    constexpr WORD kNumbers[] = {QUORIN_VERSION_NUMBERS};
    const DWORD versionMs = MAKELONG(kNumbers[1], kNumbers[0]);
    const DWORD versionLs = MAKELONG(kNumbers[3], kNumbers[2]);
    struct Program {
        const char* path;
        const char* description;
        const char* internalName;
        const char* fileName;
        DWORD fileOs;
    };
    const Program programs[] = {
        {QUORIN_EXECUTABLE, "Synchronization signals configuration", "Quorin Sync Options.exe",
         "Quorin Sync Options.exe", VOS__WINDOWS32},
        {QUORIN_CONSOLE_EXECUTABLE, "Quorin Sync Options console companion", "quorin-sync",
         "quorin-sync.exe", VOS_NT_WINDOWS32},
    };
    std::set<std::string> companies;
    for (const Program& program : programs) {
        SCOPED_TRACE(program.path);
        VersionBlock version(program.path);
        ASSERT_TRUE(version.Read());
        const VS_FIXEDFILEINFO* fixed = version.Fixed();
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(fixed->dwFileVersionMS, versionMs);
        EXPECT_EQ(fixed->dwFileVersionLS, versionLs);
        EXPECT_EQ(fixed->dwProductVersionMS, versionMs);
        EXPECT_EQ(fixed->dwProductVersionLS, versionLs);
        EXPECT_EQ(fixed->dwFileFlagsMask, static_cast<DWORD>(VS_FFI_FILEFLAGSMASK));
        EXPECT_EQ(fixed->dwFileFlags, 0u);
        EXPECT_EQ(fixed->dwFileOS, program.fileOs);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
        EXPECT_EQ(fixed->dwFileSubtype, static_cast<DWORD>(VFT2_UNKNOWN));

        EXPECT_EQ(version.Text("FileDescription"), program.description);
        EXPECT_EQ(version.Text("FileVersion"), QUORIN_VERSION_TEXT);
        EXPECT_EQ(version.Text("InternalName"), program.internalName);
        EXPECT_EQ(version.Text("OriginalFilename"), program.fileName);
        EXPECT_EQ(version.Text("ProductName"), "Quorin synchronization options");
        EXPECT_EQ(version.Text("ProductVersion"), QUORIN_VERSION_TEXT);
        EXPECT_NE(version.Text("CompanyName"), "<missing>");
        EXPECT_NE(version.Text("LegalCopyright"), "<missing>");
        companies.insert(version.Text("CompanyName"));
        EXPECT_EQ(version.Translation(), (std::vector<WORD>{0x0409, 1252}));
    }
    EXPECT_EQ(companies.size(), 1u) << "one maker for both";
}

// quorin-sync.exe carries the Application log's messages: every event a save
// records formats, in English, with each insertion string once, in its place.
TEST(Resources, ConsoleCompanionFormatsEverySaveEvent)
{
    const struct {
        SaveEventId eventId;
        const wchar_t* headline;
    } events[] = {
        {kEventSaved, L"The synchronization settings were saved to all eight driver services."},
        {kEventNothingChanged, L"The synchronization settings were not saved: the save was "
                               L"refused, and no value was changed."},
        {kEventPartlySaved, L"The synchronization settings were only partly saved: some driver "
                            L"services hold the new settings and others do not."},
        {kEventElevatedSaveNotRun, L"A save of the synchronization settings as administrator was "
                                   L"asked for but never ran, so nothing was changed."},
    };
    Module console(QUORIN_CONSOLE_EXECUTABLE);
    ASSERT_NE(console.Handle(), nullptr);
    std::wstring strings[kSaveRecordStringCount];
    DWORD_PTR arguments[kSaveRecordStringCount] = {};
    for (std::size_t i = 0; i < kSaveRecordStringCount; ++i) {
        strings[i] = L"<" + std::to_wstring(i) + L">";
        arguments[i] = reinterpret_cast<DWORD_PTR>(strings[i].c_str());
    }
    for (const auto& event : events) {
        SCOPED_TRACE(event.eventId);
        LPWSTR pszText = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
            console.Handle(), event.eventId, kEnglishUs, reinterpret_cast<LPWSTR>(&pszText), 0,
            reinterpret_cast<va_list*>(arguments));
        ASSERT_NE(length, 0u) << ::GetLastError();
        const std::wstring text(pszText, length);
        ::LocalFree(pszText);
        EXPECT_EQ(text.rfind(std::wstring(event.headline) + L"\r\n\r\nUser: <0>\r\n", 0), 0u);
        std::size_t at = 0;
        for (const std::wstring& inserted : strings) {
            const std::size_t found = text.find(inserted, at);
            EXPECT_NE(found, std::wstring::npos) << "each in its place";
            EXPECT_EQ(text.find(inserted, found + 1), std::wstring::npos) << "and once";
            at = found;
        }
        EXPECT_EQ(text.find(L'%'), std::wstring::npos);
        for (std::size_t i = 0; i < text.size(); ++i) {
            EXPECT_TRUE(text[i] != L'\n' || (i > 0 && text[i - 1] == L'\r')) << "no bare line feed";
        }
    }
}

TEST(Resources, ManifestRunsAsInvokerDpiAwareWithNothingElse)
{
    Module module;
    EXPECT_EQ(module.Languages(RT_MANIFEST, MAKEINTRESOURCEA(1)), std::vector<WORD>{kEnglishUs});
    const std::vector<unsigned char> data =
        module.Resource(RT_MANIFEST, MAKEINTRESOURCEA(1), kEnglishUs);
    const std::string manifest(data.begin(), data.end());
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
    EXPECT_EQ(manifest.find("supportedOS"), std::string::npos);
}

TEST(Resources, OnlyTheseTypesAllButTheManifestInRussian)
{
    Module module;
    std::set<std::string> types;
    ::EnumResourceTypesA(
        module.Handle(),
        [](HMODULE, LPSTR type, LONG_PTR param) -> BOOL {
            auto* names = reinterpret_cast<std::set<std::string>*>(param);
            names->insert(IS_INTRESOURCE(type)
                              ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(type))
                              : std::string(type));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&types));
    EXPECT_EQ(types, (std::set<std::string>{"#3", "#5", "#14", "#16", "#24", "AFX_DIALOG_LAYOUT"}));
    for (int id : {IDD_SYNCOPTIONS_DIALOG, IDD_SYNC_WARNING}) {
        EXPECT_EQ(module.Languages(RT_DIALOG, MAKEINTRESOURCEA(id)), std::vector<WORD>{kRussian});
    }
    EXPECT_EQ(module.Languages(RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME)),
              std::vector<WORD>{kRussian});
}

} // namespace
