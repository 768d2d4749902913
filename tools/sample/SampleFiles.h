#pragma once
// Writers of the small documents the sample incident needs, from bytes, so the
// sample builds with nothing but a compiler, espeak-ng and lame.
#include <functional>
#include <string>
#include <vector>

namespace pellam::sample {

// Writes bytes to a file (creating its folder); throws on failure, as a
// build step should stop.
void WriteFile(const std::string& path, const std::string& bytes);

// A rich-text document: one paragraph per line (a line starting with "**"
// is written in bold without the stars). Texts are UTF-8 and are written in
// Windows-1252.
std::string RtfDocument(const std::vector<std::string>& lines);

// A baseline grayscale JPEG of width x height pixels (multiples of 8) whose
// 8x8 blocks each have one shade: shade(bx, by) gives 0..255 for block column
// bx and block row by. Flat blocks need only the DC coefficient, so the file
// is exact and needs no transform.
std::string BlockJpeg(int width, int height, const std::function<int(int, int)>& shade);

// A one-page PDF showing the lines in Helvetica.
std::string TextPdf(const std::vector<std::string>& lines);

} // namespace pellam::sample
