#pragma once

#include <string>

class SpellEngine;

// A text of wordCount words from the word list, every one known to the
// engine's dictionaries, with commas and full stops, wordsPerLine words to
// a line. The same words come in the same order on every run.
std::string KnownText(SpellEngine& engine, int wordCount, int wordsPerLine);
