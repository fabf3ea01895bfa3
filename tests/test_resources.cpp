/* The resources and imports of the built Brisknote.exe: the dialog template control by control,
   the icon, the version block, the manifest, and only DLLs that ship with Windows. */
#include "test_support.h"
#include "resource.h"
#include <algorithm>
#include "pe_imports.h"

static const WORD JAPANESE = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

class ResourcesTest : public testing::Test {
protected:
    HMODULE exe = NULL;
    void SetUp() override
    {
        exe = LoadLibraryExA(ProgramPath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, exe);
    }
    void TearDown() override { FreeLibrary(exe); }
    const BYTE *Resource(LPCSTR type, LPCSTR name, WORD language, DWORD *size = NULL)
    {
        HRSRC found = FindResourceExA(exe, type, name, language);
        if (!found)
            return NULL;
        if (size)
            *size = SizeofResource(exe, found);
        return (const BYTE *)LockResource(LoadResource(exe, found));
    }
};

/* Reads the parts of an extended dialog template in their order. */
struct TemplateReader {
    const BYTE *p;
    WORD Word() { WORD w = *(const WORD *)p; p += 2; return w; }
    DWORD Dword() { DWORD d = *(const DWORD *)p; p += 4; return d; }
    BYTE Byte() { return *p++; }
    /* A string, or an ordinal written as "#n". */
    std::string SzOrOrd()
    {
        if (*(const WORD *)p == 0xFFFF) {
            p += 2;
            return "#" + std::to_string(Word());
        }
        const WCHAR *text = (const WCHAR *)p;
        char out[512];
        WideCharToMultiByte(932, 0, text, -1, out, sizeof(out), NULL, NULL);
        p += (lstrlenW(text) + 1) * 2;
        return out;
    }
    void AlignDword() { p = (const BYTE *)(((UINT_PTR)p + 3) & ~3); }
};

struct ExpectedControl {
    DWORD id;
    const char *className;    /* the atom of a predefined class, as "#n" */
    const char *text;
    short x, y, cx, cy;
    DWORD style, exStyle;
};

static const DWORD CHILD = WS_CHILD | WS_VISIBLE;
static const ExpectedControl g_controls[] = {
    {IDC_NEW_NAME, "#129", "", 3, 40, 188, 12, CHILD | WS_TABSTOP | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN, WS_EX_STATICEDGE},
    {IDC_PREV, "#128", "<<(&B)", 69, 62, 26, 14, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {IDC_NEXT, "#128", ">>(&N)", 96, 62, 26, 14, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {IDCANCEL, "#128", "中止(&S)", 125, 62, 39, 14, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {IDOK, "#128", "OK(&O)", 165, 62, 39, 14, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {IDC_MENU_BUTTON, "#128", "&M", 192, 39, 12, 14, CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {IDC_ATTRIBUTES, "#130", "スタティック", 171, 4, 33, 8, CHILD | WS_GROUP | SS_RIGHT, 0},
    {0xFFFFFFFF, "#130", "現在の名前", 3, 4, 40, 8, CHILD | WS_GROUP | SS_LEFT, 0},
    {IDC_CURRENT_NAME, "#130", "スタティック", 3, 15, 201, 11, CHILD | WS_GROUP | SS_LEFT | SS_NOTIFY | SS_WORDELLIPSIS, WS_EX_STATICEDGE},
    {0xFFFFFFFF, "#130", "新しい名前", 3, 30, 38, 8, CHILD | WS_GROUP | WS_TABSTOP | SS_LEFT, 0},
    {IDC_FILE_ICON, "#130", "", 3, 54, 20, 20, CHILD | SS_ICON | SS_REALSIZEIMAGE, WS_EX_STATICEDGE},
};

struct ExpectedDialog {
    DWORD style;
    short cx, cy;
    WORD pointSize;
    BYTE charset;
    const char *font;
};

static void CheckTemplate(TemplateReader t, const ExpectedDialog &d, const ExpectedControl *controls, int count)
{
    EXPECT_EQ(1, t.Word());
    EXPECT_EQ(0xFFFF, t.Word()) << "an extended template";
    EXPECT_EQ(0u, t.Dword());
    EXPECT_EQ(0u, t.Dword()) << "extended style";
    EXPECT_EQ(d.style, t.Dword());
    EXPECT_EQ(count, t.Word());
    EXPECT_EQ(0, t.Word());
    EXPECT_EQ(0, t.Word());
    EXPECT_EQ(d.cx, (short)t.Word());
    EXPECT_EQ(d.cy, (short)t.Word());
    EXPECT_EQ("", t.SzOrOrd()) << "menu";
    EXPECT_EQ("", t.SzOrOrd()) << "class";
    EXPECT_EQ("Dialog", t.SzOrOrd());
    EXPECT_EQ(d.pointSize, t.Word());
    EXPECT_EQ(400, t.Word());
    EXPECT_EQ(0, t.Byte());
    EXPECT_EQ(d.charset, t.Byte());
    EXPECT_EQ(d.font, t.SzOrOrd());
    for (int i = 0; i < count; i++) {
        const ExpectedControl &c = controls[i];
        SCOPED_TRACE(c.text);
        t.AlignDword();
        EXPECT_EQ(0u, t.Dword()) << "help id";
        EXPECT_EQ(c.exStyle, t.Dword());
        EXPECT_EQ(c.style, t.Dword());
        EXPECT_EQ(c.x, (short)t.Word());
        EXPECT_EQ(c.y, (short)t.Word());
        EXPECT_EQ(c.cx, (short)t.Word());
        EXPECT_EQ(c.cy, (short)t.Word());
        EXPECT_EQ(c.id, t.Dword());
        /* windres writes class names in capitals; the platform compares them without case. */
        std::string className = t.SzOrOrd();
        EXPECT_EQ(0, lstrcmpiA(c.className, className.c_str())) << "class " << className;
        EXPECT_EQ(c.text, t.SzOrOrd());
        EXPECT_EQ(0, t.Word()) << "creation data";
    }
}

TEST_F(ResourcesTest, RenameDialogTemplate)
{
    TemplateReader t = {Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_RENAME), JAPANESE)};
    ASSERT_NE(nullptr, t.p) << "no Japanese template 129";
    ExpectedDialog dialog = {WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT, 207, 79, 9,
                             SHIFTJIS_CHARSET, "ＭＳ Ｐゴシック"};
    CheckTemplate(t, dialog, g_controls, 11);
}

TEST_F(ResourcesTest, ListWindowTemplate)
{
    TemplateReader t = {Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_LIST), JAPANESE)};
    ASSERT_NE(nullptr, t.p) << "no Japanese template 132";
    ExpectedDialog dialog = {0x80CC0048, 257, 143, 8, DEFAULT_CHARSET, "MS Shell Dlg"};
    const ExpectedControl controls[] = {
        {IDCANCEL, "#128", "閉じる(&X)", 208, 126, 46, 14, 0x50010001, 0},
        {IDC_LIST, "SysListView32", "", 0, 1, 254, 123, 0x5080880D, 0},
    };
    CheckTemplate(t, dialog, controls, 2);
}

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ResourcesTest, OneIconImageOf32By32With24Bits)
{
    const BYTE *group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_APP), JAPANESE);
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(1, ((const WORD *)group)[2]) << "one image";
    const IconDirEntry *entry = (const IconDirEntry *)(group + 6);
    EXPECT_EQ(32, entry->width);
    EXPECT_EQ(32, entry->height);
    EXPECT_EQ(24, entry->bitCount);
    EXPECT_EQ(1, entry->id);
    const BITMAPINFOHEADER *image = (const BITMAPINFOHEADER *)Resource(RT_ICON, MAKEINTRESOURCEA(1), JAPANESE);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(32, image->biWidth);
    EXPECT_EQ(24, image->biBitCount);
}

static std::string VersionString(const std::vector<BYTE> &block, const char *key)
{
    char path[64];
    wsprintfA(path, "\\StringFileInfo\\041104b0\\%s", key);
    char *value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path, (void **)&value, &length))
        return "<none>";
    return value;
}

TEST_F(ResourcesTest, VersionBlock)
{
    ASSERT_NE(nullptr, Resource(RT_VERSION, MAKEINTRESOURCEA(1), JAPANESE));
    std::string path = ProgramPath();
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), NULL);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO *fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void **)&fixed, &length));
    EXPECT_EQ(MAKELONG(1, 0), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(0, 5), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ(0x17u, fixed->dwFileFlagsMask);
    EXPECT_EQ(0u, fixed->dwFileFlags);
    EXPECT_EQ((DWORD)VOS__WINDOWS32, fixed->dwFileOS);
    EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType);
    EXPECT_EQ("Brisknote アプリケーション", VersionString(block, "FileDescription"));
    EXPECT_EQ("0, 1, 5, 0", VersionString(block, "FileVersion"));
    EXPECT_EQ("Brisknote.zip", VersionString(block, "InternalName"));
    EXPECT_EQ("Brisknote.exe", VersionString(block, "OriginalFilename"));
    EXPECT_EQ("Brisknote アプリケーション", VersionString(block, "ProductName"));
    EXPECT_EQ("0, 1, 5, 0", VersionString(block, "ProductVersion"));
    WORD *translation = NULL;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void **)&translation, &length));
    EXPECT_EQ(0x411, translation[0]);
    EXPECT_EQ(1200, translation[1]);
}

TEST_F(ResourcesTest, ManifestAsksForNothing)
{
    DWORD size = 0;
    const BYTE *manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &size);
    ASSERT_NE(nullptr, manifest);
    std::string text((const char *)manifest, size);
    EXPECT_NE(std::string::npos, text.find("<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"));
    EXPECT_EQ(std::string::npos, text.find("dependency"));
    EXPECT_EQ(std::string::npos, text.find("requestedExecutionLevel"));
}

TEST(Executable, GuiProgramImportingOnlyWindowsOwnDlls)
{
    WORD subsystem = 0;
    DWORD size = 0;
    std::vector<std::string> dlls = ImportedDlls(ProgramPath(), &subsystem, &size);
    for (std::string &dll : dlls)
        std::transform(dll.begin(), dll.end(), dll.begin(), ::tolower);
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, subsystem);
    const std::vector<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll",
                                              "shlwapi.dll", "msvcrt.dll", "advapi32.dll"};
    ASSERT_FALSE(dlls.empty());
    for (const std::string &dll : dlls)
        EXPECT_NE(allowed.end(), std::find(allowed.begin(), allowed.end(), dll)) << dll << " does not ship with Windows or is not wanted";
}
