// Frames read from image files and pictures written to them (PNG, JPEG or BMP
// in; PNG out), through stb.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "refhost/scenario/frames.h"

namespace refhost {

// Reads a PNG, JPEG or BMP file; false with a reason in error on failure.
bool LoadImageFile(const std::string& path, Frame* frame, std::string* error);
// The image files of a folder, sorted by name: a sequence of frames.
std::vector<std::string> ImageFilesIn(const std::string& folder);

// Writes 0xRRGGBB pixels (top row first) as a PNG file.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb);
// Reads a PNG written by WritePng back into 0xRRGGBB pixels.
bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* rgb);

}  // namespace refhost
