/* What the toolchain can break in the built programs: the kind of PE file, the DLLs it imports,
   and Japanese texts that come out of the resources and the code readable. Each program is read
   as a file, so the 64-bit tests check the shipped 32-bit program as well. */
#include "test_support.h"
#include "resource.h"
#include <algorithm>
#include "pe_imports.h"

struct Program {
    std::string path;
    WORD magic, machine;
};

static std::vector<Program> ProgramsToCheck(void)
{
#ifdef _WIN64
    std::vector<Program> programs = {{ProgramPath(), IMAGE_NT_OPTIONAL_HDR64_MAGIC, IMAGE_FILE_MACHINE_AMD64}};
    char shipped[MAX_PATH] = "";
    if (GetEnvironmentVariableA("BRISKNOTE_SHIPPED_EXE", shipped, sizeof(shipped)))
        programs.push_back({shipped, IMAGE_NT_OPTIONAL_HDR32_MAGIC, IMAGE_FILE_MACHINE_I386});
    return programs;
#else
    return {{ProgramPath(), IMAGE_NT_OPTIONAL_HDR32_MAGIC, IMAGE_FILE_MACHINE_I386}};
#endif
}

static bool Holds(const BYTE *data, DWORD size, const std::string &bytes)
{
    return std::string((const char *)data, size).find(bytes) != std::string::npos;
}

static std::string Utf16(const char *text)
{
    WCHAR wide[256];
    int length = MultiByteToWideChar(932, 0, text, -1, wide, 256) - 1;
    return std::string((const char *)wide, length * sizeof(WCHAR));
}

struct ResourceRow {
    LPCSTR type;
    WORD name;
    WORD language;
    const char *text;    /* held in the resource as UTF-16, or NULL */
};

static const WORD JAPANESE = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
static const ResourceRow g_resources[] = {
    {RT_DIALOG, IDD_RENAME, JAPANESE, "中止(&S)"},
    {RT_DIALOG, IDD_RENAME, JAPANESE, "現在の名前"},
    {RT_DIALOG, IDD_RENAME, JAPANESE, "ＭＳ Ｐゴシック"},
    {RT_DIALOG, IDD_LIST, JAPANESE, "閉じる(&X)"},
    {RT_GROUP_ICON, IDI_APP, JAPANESE, NULL},
    {RT_VERSION, 1, JAPANESE, "Brisknote アプリケーション"},
    {RT_MANIFEST, 1, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), NULL},
};

TEST(Executable, KindImportsAndReadableJapaneseTexts)
{
    const std::vector<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll",
                                              "shlwapi.dll", "msvcrt.dll", "advapi32.dll"};
    for (const Program &program : ProgramsToCheck()) {
        SCOPED_TRACE(program.path);
        PeFacts facts = ReadPeFacts(program.path);
        EXPECT_EQ(program.magic, facts.magic) << "PE32 is 0x10b, PE32+ 0x20b";
        EXPECT_EQ(program.machine, facts.machine);
        EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, facts.subsystem);
        EXPECT_FALSE(facts.dlls.empty());
        for (std::string dll : facts.dlls) {
            std::transform(dll.begin(), dll.end(), dll.begin(), ::tolower);
            EXPECT_NE(allowed.end(), std::find(allowed.begin(), allowed.end(), dll)) << "imports " << dll;
        }

        HMODULE exe = LoadLibraryExA(program.path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, exe);
        for (const ResourceRow &row : g_resources) {
            HRSRC found = FindResourceExA(exe, row.type, MAKEINTRESOURCEA(row.name), row.language);
            EXPECT_NE(nullptr, found) << "resource " << row.name << " of type " << (UINT_PTR)row.type;
            if (found && row.text) {
                const BYTE *data = (const BYTE *)LockResource(LoadResource(exe, found));
                EXPECT_TRUE(Holds(data, SizeofResource(exe, found), Utf16(row.text))) << "no " << row.text;
            }
        }
        FreeLibrary(exe);

        /* The code's own texts are code page 932 in the file. */
        std::string question = "エラーがあります。";
        HANDLE file = CreateFileA(program.path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        std::vector<BYTE> bytes(facts.fileSize);
        DWORD read = 0;
        ReadFile(file, bytes.data(), bytes.size(), &read, NULL);
        CloseHandle(file);
        EXPECT_TRUE(Holds(bytes.data(), read, question)) << "the retry question is not in code page 932";
    }
}
