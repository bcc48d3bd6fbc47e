#pragma once

#include <string>
#include <vector>

// A reader of the list files written from the format alone, byte by byte,
// sharing no code with the program's reader: what another program that reads
// "Internet.pab", "Internet.sig", "Internet.flt" or "Internet.svr" sees.
struct TReadBackRow {
    std::string caption;
    std::vector<std::string> subItems;
    friend bool operator==(const TReadBackRow&, const TReadBackRow&) = default;
};

// Every line must end in CR LF and every field (caption included) in 0x01;
// a file that breaks either rule fails the calling test.
std::vector<TReadBackRow> ReadListFileStrictly(const std::string& path);

// Checks that the file holds exactly these rows, in this order.
void ExpectListFile(const std::string& path, const std::vector<TReadBackRow>& rows);
