#pragma once

// The program title: the caption of the main window and the first words of
// every message the program shows.
inline constexpr const char* kAppTitle = "Fenmarch Skiffpost";
