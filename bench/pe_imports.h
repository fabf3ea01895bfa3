/* What a PE file says of itself, read from the file without loading it: for the tests and the
   benchmark. A 64-bit test reads the 32-bit program this way. */
#ifndef BRISKNOTE_PE_IMPORTS_H
#define BRISKNOTE_PE_IMPORTS_H

#include <windows.h>
#include <string>
#include <vector>

struct PeFacts {
    WORD magic;         /* IMAGE_NT_OPTIONAL_HDR32_MAGIC or ..64_MAGIC; 0 when unreadable */
    WORD subsystem;
    std::vector<BYTE> image;
    std::vector<std::string> dlls;
};

template <class Headers> void ReadImports(const Headers *nt, PeFacts *facts)
{
    facts->subsystem = nt->OptionalHeader.Subsystem;
    const IMAGE_SECTION_HEADER *sections = IMAGE_FIRST_SECTION(nt);
    auto at = [&](DWORD rva) -> const BYTE * {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; i++)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].Misc.VirtualSize)
                return facts->image.data() + sections[i].PointerToRawData + (rva - sections[i].VirtualAddress);
        return NULL;
    };
    DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (const IMAGE_IMPORT_DESCRIPTOR *d = (const IMAGE_IMPORT_DESCRIPTOR *)at(importRva); d && d->Name; d++)
        facts->dlls.push_back((const char *)at(d->Name));
}

inline PeFacts ReadPeFacts(const std::string &path)
{
    PeFacts facts = {0, 0, {}, {}};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD size = GetFileSize(file, NULL), read = 0;
    facts.image.resize(size == INVALID_FILE_SIZE ? 0 : size);
    ReadFile(file, facts.image.data(), facts.image.size(), &read, NULL);
    CloseHandle(file);
    if (read < sizeof(IMAGE_DOS_HEADER))
        return facts;
    const IMAGE_NT_HEADERS32 *nt = (const IMAGE_NT_HEADERS32 *)(facts.image.data() + ((const IMAGE_DOS_HEADER *)facts.image.data())->e_lfanew);
    facts.magic = nt->OptionalHeader.Magic;
    if (facts.magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        ReadImports(nt, &facts);
    else if (facts.magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        ReadImports((const IMAGE_NT_HEADERS64 *)nt, &facts);
    return facts;
}

#endif
