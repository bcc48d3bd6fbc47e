#pragma once

// How the checker proposes replacements for a misspelled word.
enum TSuggestType { stNoSuggest, stCloseMatch, stPhoneme };
