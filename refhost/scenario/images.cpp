#include "refhost/scenario/images.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_NO_SIMD
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace refhost {

bool LoadImageFile(const std::string& path, Frame* frame, std::string* error) {
  int w = 0;
  int h = 0;
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 3);
  if (data == nullptr) {
    *error = std::string("cannot read image ") + path + ": " + stbi_failure_reason();
    return false;
  }
  *frame = MakeFrame(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = data + (static_cast<size_t>(y) * w + x) * 3;
      frame->SetPixel(x, y, static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2]);
    }
  stbi_image_free(data);
  return true;
}

std::vector<std::string> ImageFilesIn(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file()) continue;
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".png" || ext == ".jpg" || ext == ".jpeg" || ext == ".bmp") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb) {
  std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < rgb.size() && i * 3 + 2 < bytes.size(); ++i) {
    bytes[i * 3] = static_cast<uint8_t>(rgb[i] >> 16);
    bytes[i * 3 + 1] = static_cast<uint8_t>(rgb[i] >> 8);
    bytes[i * 3 + 2] = static_cast<uint8_t>(rgb[i]);
  }
  return stbi_write_png(path.c_str(), width, height, 3, bytes.data(), width * 3) != 0;
}

bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* rgb) {
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), width, height, &channels, 3);
  if (data == nullptr) return false;
  rgb->resize(static_cast<size_t>(*width) * *height);
  for (size_t i = 0; i < rgb->size(); ++i)
    (*rgb)[i] =
        static_cast<uint32_t>(data[i * 3]) << 16 | static_cast<uint32_t>(data[i * 3 + 1]) << 8 | data[i * 3 + 2];
  stbi_image_free(data);
  return true;
}

}  // namespace refhost
