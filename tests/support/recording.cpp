#include "recording.h"
#include <gtest/gtest.h>
Recording Decode(const std::string& path) {
    Recording recording;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    EXPECT_NE(gif, nullptr) << path << ": " << GifErrorString(error);
    if (!gif) return recording;
    // The library takes an animation of no images, which the format allows, for an error.
    EXPECT_TRUE(DGifSlurp(gif) == GIF_OK || (gif->Error == D_GIF_ERR_NO_IMAG_DSCR && gif->ImageCount == 0)) << path << ": " << GifErrorString(gif->Error);
    recording.width = gif->SWidth, recording.height = gif->SHeight;
    if (gif->SColorMap) recording.colors.assign(gif->SColorMap->Colors, gif->SColorMap->Colors + gif->SColorMap->ColorCount);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        recording.frames.emplace_back(image.RasterBits, image.RasterBits + image.ImageDesc.Width * image.ImageDesc.Height);
        recording.framesHaveOwnColors |= image.ImageDesc.ColorMap != nullptr;
        GraphicsControlBlock control;
        EXPECT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        recording.delays.push_back(control.DelayTime);
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            recording.loops |= block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                               std::string(reinterpret_cast<char*>(block.Bytes), 11) == "NETSCAPE2.0";
        }
    }
    DGifCloseFile(gif, &error);
    return recording;
}
