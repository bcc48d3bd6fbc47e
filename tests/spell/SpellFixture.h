#pragma once

#include <initializer_list>
#include <string>

#include "spell/DictionaryBuilder.h"
#include "support/TempDir.h"

// Writes a main dictionary built from the given words into dir and returns its path.
inline std::string WriteMainDictionary(const TTempDir& dir, std::initializer_list<const char*> words,
                                       const char* name = "main.dct", std::uint32_t maxNodes = 64999) {
    TDictionaryBuilder builder;
    for (const char* w : words) builder.AddWord(w);
    const std::string path = dir.File(name);
    WriteFileOrDie(path, builder.Build(maxNodes));
    return path;
}
