/* The DLLs a 32-bit PE file imports, read from the file: for the tests and the benchmark. */
#ifndef BRISKNOTE_PE_IMPORTS_H
#define BRISKNOTE_PE_IMPORTS_H

#include <windows.h>
#include <string>
#include <vector>

inline std::vector<std::string> ImportedDlls(const std::string &path, WORD *subsystem, DWORD *fileSize)
{
    std::vector<std::string> names;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    std::vector<BYTE> image(GetFileSize(file, NULL));
    DWORD read = 0;
    ReadFile(file, image.data(), image.size(), &read, NULL);
    CloseHandle(file);
    *fileSize = image.size();
    const IMAGE_NT_HEADERS32 *nt =
        (const IMAGE_NT_HEADERS32 *)(image.data() + ((IMAGE_DOS_HEADER *)image.data())->e_lfanew);
    *subsystem = nt->OptionalHeader.Subsystem;
    const IMAGE_SECTION_HEADER *sections = IMAGE_FIRST_SECTION(nt);
    auto at = [&](DWORD rva) -> const BYTE * {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; i++) {
            const IMAGE_SECTION_HEADER &s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.Misc.VirtualSize)
                return image.data() + s.PointerToRawData + (rva - s.VirtualAddress);
        }
        return NULL;
    };
    DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (const IMAGE_IMPORT_DESCRIPTOR *d = (const IMAGE_IMPORT_DESCRIPTOR *)at(importRva); d && d->Name; d++)
        names.push_back((const char *)at(d->Name));
    return names;
}

#endif
