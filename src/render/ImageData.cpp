#include "ImageData.h"

#include "DataPath.h"

#include <cstdlib>
#include <iostream>

bool loadImage(const char* path, ImageData* image) {
    std::cout << "LOAD IMG: " << path << '\n';

    // Loaded images are brought to the library's origin setting (lower left by default), so the
    // first row handed to OpenGL is the bottom one whatever the file stores first.
    ilEnable(IL_ORIGIN_SET);
    ilGenImages(1, &image->m_imageName);
    ilBindImage(image->m_imageName);

    // A failed load leaves nothing for the caller to release: the library image goes at once.
    auto fail = [image]() {
        ilDeleteImages(1, &image->m_imageName);
        image->m_imageName = 0;
        return false;
    };
    // The trace line names the image as the caller did; the load looks for it in the data folder.
    if (!ilLoadImage(dataPath(path).c_str())) return fail();
    if (!ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE)) return fail();

    image->m_width = ilGetInteger(IL_IMAGE_WIDTH);
    image->m_height = ilGetInteger(IL_IMAGE_HEIGHT);
    const std::size_t size =
        static_cast<std::size_t>(image->m_width) * static_cast<std::size_t>(image->m_height) * 4;
    image->m_pixels = static_cast<unsigned char*>(std::malloc(size));
    if (!image->m_pixels) return fail();
    ilCopyPixels(0, 0, 0, static_cast<ILuint>(image->m_width), static_cast<ILuint>(image->m_height),
                 1, IL_RGBA, IL_UNSIGNED_BYTE, image->m_pixels);
    image->m_loaded = true;
    return true;
}
