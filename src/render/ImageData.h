#pragma once

#include <IL/il.h>

#include <cstdint>

// Pixels of one image file as 8-bit RGBA, read through DevIL. The caller creates the record with
// m_loaded = false, turns the pixels into a texture, then deletes the library image
// (ilDeleteImages), frees m_pixels with free() and deletes the record.
struct ImageData {
    ILuint m_imageName = 0;
    bool m_loaded = false;
    int32_t m_width = 0;
    int32_t m_height = 0;
    // m_width x m_height x 4 bytes, allocated with malloc; rows bottom-up (the library's default
    // origin, which is what glTexImage2D expects).
    unsigned char* m_pixels = nullptr;
};

// Loads the image at path (a data-folder name such as "imgs/Font.png", see dataPath) into image;
// needs ilInit() to have run. Writes a "LOAD IMG: " trace line. Returns false when the file cannot
// be loaded or converted: the record then keeps m_loaded = false, no pixels and no library image,
// and the caller skips that texture.
bool loadImage(const char* path, ImageData* image);
