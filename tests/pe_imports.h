/* What a PE file says of itself, read from the file without loading it: for the tests and the
   benchmark. A 64-bit test reads the 32-bit program this way, and the other way round. */
#ifndef BRISKNOTE_PE_IMPORTS_H
#define BRISKNOTE_PE_IMPORTS_H

#include <windows.h>
#include <string>
#include <vector>

struct PeFacts {
    WORD magic;         /* IMAGE_NT_OPTIONAL_HDR32_MAGIC or IMAGE_NT_OPTIONAL_HDR64_MAGIC; 0 when unreadable */
    WORD machine;
    WORD subsystem;
    DWORD fileSize;
    std::vector<std::string> dlls;
};

template <class Headers> void ReadImports(const std::vector<BYTE> &image, const Headers *nt, PeFacts *facts)
{
    facts->subsystem = nt->OptionalHeader.Subsystem;
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
        facts->dlls.push_back((const char *)at(d->Name));
}

inline PeFacts ReadPeFacts(const std::string &path)
{
    PeFacts facts = {0, 0, 0, 0, {}};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return facts;
    std::vector<BYTE> image(GetFileSize(file, NULL));
    DWORD read = 0;
    ReadFile(file, image.data(), image.size(), &read, NULL);
    CloseHandle(file);
    facts.fileSize = image.size();
    if (image.size() < sizeof(IMAGE_DOS_HEADER))
        return facts;
    const IMAGE_NT_HEADERS32 *nt =
        (const IMAGE_NT_HEADERS32 *)(image.data() + ((const IMAGE_DOS_HEADER *)image.data())->e_lfanew);
    facts.magic = nt->OptionalHeader.Magic;
    facts.machine = nt->FileHeader.Machine;
    if (facts.magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        ReadImports(image, nt, &facts);
    else if (facts.magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        ReadImports(image, (const IMAGE_NT_HEADERS64 *)nt, &facts);
    return facts;
}

#endif
