// Photos: their kind and size from their own bytes, turned upright, fitted to
// the screen, written as a bitmap, and Mirval's copies of them.
#include "schedule/photo.h"
#include "tests/support/photos.h"

namespace {
std::string PngHeader(DWORD width, DWORD height)
{
    auto big = [](DWORD v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
    return std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) + big(width) + big(height) +
           std::string("\x08\x06\0\0\0\0\0\0\0", 9);
}

std::string Digits(const Picture& p)   // "WxH:" and each pixel's value
{
    std::string text = std::to_string(p.width) + "x" + std::to_string(p.height) + ":";
    for (DWORD v : p.pixels) text += std::to_string(v & 0xFF) + " ";
    return text;
}

Picture Made(LONG width, LONG height, std::vector<DWORD> values)
{
    Picture p;
    p.Make(width, height);
    std::copy(values.begin(), values.end(), p.pixels.begin());
    return p;
}
}

TEST(Photos, KindAndSizeComeFromTheirOwnBytes)
{
    const std::string jpeg = FileText(PhotoPath("PORTRAIT.JPG"));
    // A Huffman table (0xC4, a frame header's number) before the frame.
    const std::string table = jpeg.substr(0, 2) + std::string("\xFF\xC4\0\x07\x08\0\x08\0\x08", 9) + jpeg.substr(2);
    struct { const char* what; std::string bytes; PictureKind kind; bool measured; LONG w, h; int orientation; } cases[] = {
        {"JPEG", jpeg, PictureKind::Jpeg, true, 300, 200, 1},
        {"EXIF orientation 6 before the frame", WithOrientation(jpeg, 6), PictureKind::Jpeg, true, 300, 200, 6},
        {"EXIF pointing past its end", WithOrientation(jpeg, 6, true), PictureKind::Jpeg, true, 300, 200, 1},
        {"a table before the frame", table, PictureKind::Jpeg, true, 300, 200, 1},
        {"progressive JPEG", FileText(PhotoPath("PROGRESSIF.JPG")), PictureKind::Jpeg, true, 64, 48, 1},
        {"JPEG cut before its frame", jpeg.substr(0, 24), PictureKind::Jpeg, false},
        {"PNG", FileText(PhotoPath("VERRE.PNG")), PictureKind::Png, true, 64, 64, 1},
        {"GIF", FileText(PhotoPath("ANIME.GIF")), PictureKind::Gif, true, 40, 30, 1},
        {"PNG of 16,384 x 3,000", PngHeader(16384, 3000), PictureKind::Png, true, 16384, 3000, 1},
        {"PNG of 100,000 x 100,000", PngHeader(100000, 100000), PictureKind::Png, false},
        {"PNG 16,385 wide", PngHeader(16385, 8), PictureKind::Png, false},
        {"PNG of 8,000 x 7,000 pixels", PngHeader(8000, 7000), PictureKind::Png, false},
        {"PNG of no width", PngHeader(0, 8), PictureKind::Png, false},
        {"bitmap", BitmapBytes(2, 2, RGB(1, 2, 3)), PictureKind::Bitmap, false},
        {"a text", "Lisez-moi", PictureKind::Other, false},
        {"nothing", "", PictureKind::Other, false},
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const BYTE*>(c.bytes.data());
        EXPECT_EQ(KindOfBytes(bytes, c.bytes.size()), c.kind) << c.what;
        PhotoFacts facts;
        ASSERT_EQ(ReadPhotoFacts(bytes, c.bytes.size(), c.kind, &facts), c.measured) << c.what;
        auto text = [](LONG w, LONG h, int o) { return std::to_string(w) + "x" + std::to_string(h) + " " + std::to_string(o); };
        if (c.measured) {
            EXPECT_EQ(text(facts.width, facts.height, facts.orientation), text(c.w, c.h, c.orientation)) << c.what;
        }
    }
}

// A picture of 2 x 3 whose pixels all differ, as each orientation shows it.
TEST(Photos, EachOrientationTurnsThePictureUpright)
{
    const Picture picture = Made(2, 3, {0, 1, 2, 3, 4, 5});
    const char* seen[] = {"2x3:0 1 2 3 4 5 ", "2x3:1 0 3 2 5 4 ", "2x3:5 4 3 2 1 0 ", "2x3:4 5 2 3 0 1 ",
                          "3x2:0 2 4 1 3 5 ", "3x2:4 2 0 5 3 1 ", "3x2:5 3 1 4 2 0 ", "3x2:1 3 5 0 2 4 "};
    for (int orientation = 1; orientation <= 8; ++orientation)
        EXPECT_EQ(Digits(Oriented(picture, orientation)), seen[orientation - 1]) << orientation;
}

TEST(Photos, ALargerPhotoFillsTheScreenInItsOwnProportions)
{
    const SIZE screen = {800, 600};
    struct { SIZE picture, filled; } cases[] = {
        {{1600, 900}, {1067, 600}},   // wider than the screen's shape
        {{1200, 1600}, {800, 1067}},  // taller
        {{1600, 1200}, {800, 600}},   // the screen's shape
        {{801, 601}, {800, 601}},     // rounded up: nothing left bare
        {{640, 480}, {640, 480}},     // smaller
        {{1600, 500}, {1600, 500}},   // wider, not taller
        {{800, 600}, {800, 600}},     // the screen's size
    };
    for (const auto& c : cases) {
        const SIZE filled = FillSize(c.picture, screen);
        EXPECT_EQ(std::to_string(filled.cx) + "x" + std::to_string(filled.cy),
                  std::to_string(c.filled.cx) + "x" + std::to_string(c.filled.cy))
            << c.picture.cx << "x" << c.picture.cy;
    }
    // Each new pixel the mean of what it covers, a part by its share.
    EXPECT_EQ(Digits(Shrunk(Made(4, 2, {0, 0, 100, 100, 200, 200, 50, 50}), {2, 1})), "2x1:100 75 ");
    EXPECT_EQ(Digits(Shrunk(Made(3, 1, {0, 90, 180}), {2, 1})), "2x1:30 150 ");
}

TEST(Photos, TheBitmapWrittenIsTheOneTheDesktopLoads)
{
    const Picture picture = Made(3, 2, {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF010203});
    const std::string path = std::string(kFiles) + "ECRIT.BMP";
    WriteBytes(path, "");
    ASSERT_TRUE(WriteBitmapFile(path.c_str(), picture));
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_TRUE(loaded);
    DIBSECTION dib = {};
    GetObjectA(loaded, sizeof dib, &dib);
    EXPECT_EQ(std::to_string(dib.dsBm.bmWidth) + "x" + std::to_string(dib.dsBmih.biHeight) + "x" +
                  std::to_string(dib.dsBm.bmBitsPixel), "3x2x24") << "bottom-up, 24 bits";
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, loaded);
    for (LONG i = 0; i < 6; ++i)
        EXPECT_EQ(GetPixel(dc, i % 3, i / 3), Rgb(picture.pixels[size_t(i)])) << i;
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(loaded);
}

// Two names taken in turn, so that the desktop's is never the one written; a
// copy used again while its photo and the screen are the same.
TEST(Photos, CopiesTakeTwoNamesInTurnAndServeAgain)
{
    ClearCopies();
    const std::string turned = std::string(kFiles) + "TOURNE.JPG";
    WriteBytes(turned, WithOrientation(FileText(PhotoPath("PORTRAIT.JPG")), 6));
    const SIZE screen = {800, 600}, other = {1024, 768};
    char copy[MAX_PATH];
    std::vector<std::string> written, sizes;
    for (const std::string& photo : {PhotoPath("ROUGE.JPG"), turned, PhotoPath("VERRE.PNG")}) {
        ASSERT_TRUE(MakePhotoCopy(photo.c_str(), screen, 0, PhotoCopy::Desktop, copy, sizeof copy));
        written.push_back(copy);
        sizes.push_back(BitmapSize(copy));
        SetText(kDesktop, "Wallpaper", copy);
    }
    EXPECT_NE(written[0], written[1]);
    EXPECT_EQ(written[0], written[2]);
    EXPECT_EQ(sizes[0] + " " + sizes[1], "1067x600 200x300") << "filled, upright";
    EXPECT_FALSE(FindPhotoCopy(PhotoPath("ROUGE.JPG").c_str(), screen, 0, copy, sizeof copy)) << "written over";
    ASSERT_TRUE(FindPhotoCopy(turned.c_str(), screen, 0, copy, sizeof copy));
    EXPECT_EQ(copy, written[1]);
    EXPECT_FALSE(FindPhotoCopy(turned.c_str(), other, 0, copy, sizeof copy)) << "another screen";
    WriteBytes(turned, WithOrientation(FileText(PhotoPath("PORTRAIT.JPG")), 8));
    EXPECT_FALSE(FindPhotoCopy(turned.c_str(), screen, 0, copy, sizeof copy)) << "the photo changed";
}
