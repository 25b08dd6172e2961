// Pictures: PNG decoding of every colour type and bit depth, PNG round trips through files,
// failures that must leave the picture as it was, the built-in About picture, the logo files.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "images/AboutPicture.h"
#include "images/FileBytes.h"
#include "images/Jpeg.h"
#include "images/Png.h"
#include "view/PageText.h"

namespace {

using tBytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

void PutBigEndian(tBytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(tBytes& out, std::string_view type, const tBytes& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  tBytes typed(type.begin(), type.end());
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBigEndian(out,
               static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

struct tPngLayout {
  std::uint32_t Width, Height;
  std::uint8_t BitDepth, ColourType, Interlace;
  tBytes Scanlines;     // every row starts with its filter byte (0 here: none)
  tBytes Palette;       // PLTE content, when not empty
  tBytes Transparency;  // tRNS content, when not empty
};

// A PNG file put together by hand, chunk by chunk, independent of the encoder under test.
tBytes MakePng(const tPngLayout& layout) {
  tBytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  tBytes header;
  PutBigEndian(header, layout.Width);
  PutBigEndian(header, layout.Height);
  header.insert(header.end(), {layout.BitDepth, layout.ColourType, 0, 0, layout.Interlace});
  PutChunk(out, "IHDR", header);
  if (!layout.Palette.empty()) PutChunk(out, "PLTE", layout.Palette);
  if (!layout.Transparency.empty()) PutChunk(out, "tRNS", layout.Transparency);
  uLongf packedSize = compressBound(static_cast<uLong>(layout.Scanlines.size()));
  tBytes packed(packedSize);
  compress(packed.data(), &packedSize, layout.Scanlines.data(),
           static_cast<uLong>(layout.Scanlines.size()));
  packed.resize(packedSize);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

// A small valid file to break in the failure tests: 3 x 2 RGB, 8 bits.
tBytes SmallRgbPng() {
  return MakePng(
      {3, 2, 8, 2, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1}, {}, {}});
}

tImage Sentinel() {
  return tImage{2, 1, {1, 2, 3, 4, 5, 6, 7, 8}};
}

void ExpectSentinel(const tImage& image) {
  EXPECT_EQ(image.Width, 2);
  EXPECT_EQ(image.Height, 1);
  EXPECT_EQ(image.Rgba, Sentinel().Rgba);
}

// A picture with every channel value and alpha varying across it.
tImage Pattern(int width, int height) {
  tImage image{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.Rgba.insert(
          image.Rgba.end(),
          {static_cast<std::uint8_t>(x * 37 + y), static_cast<std::uint8_t>(y * 53 + x),
           static_cast<std::uint8_t>((x ^ y) * 11), static_cast<std::uint8_t>(255 - x * 7 - y)});
    }
  }
  return image;
}

class TempFolder {
 public:
  TempFolder()
      : path_(fs::temp_directory_path() / ("lumarian-images-" + std::to_string(::getpid()))) {
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  std::string File(std::string_view name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

TEST(DecodePng, EveryColourTypeAndBitDepthBecomesRgba) {
  struct tCase {
    const char* What;
    tPngLayout Layout;
    tBytes Rgba;
  };
  const tCase cases[] = {
      {"grey 1 bit",
       {4, 1, 1, 0, 0, {0, 0b1011'0000}, {}, {}},
       {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
      {"grey 2 bits",
       {2, 1, 2, 0, 0, {0, 0b0110'0000}, {}, {}},
       {85, 85, 85, 255, 170, 170, 170, 255}},
      {"grey 4 bits", {2, 1, 4, 0, 0, {0, 0x8F}, {}, {}}, {136, 136, 136, 255, 255, 255, 255, 255}},
      {"grey 8 bits, one grey transparent",
       {2, 1, 8, 0, 0, {0, 0x10, 0x11}, {}, {0, 0x10}},
       {0x10, 0x10, 0x10, 0, 0x11, 0x11, 0x11, 255}},
      {"grey 16 bits", {1, 1, 16, 0, 0, {0, 0x12, 0x34}, {}, {}}, {0x12, 0x12, 0x12, 255}},
      {"grey and alpha 8 bits", {1, 1, 8, 4, 0, {0, 0x40, 0x80}, {}, {}}, {0x40, 0x40, 0x40, 0x80}},
      {"grey and alpha 16 bits",
       {1, 1, 16, 4, 0, {0, 0x40, 1, 0x80, 2}, {}, {}},
       {0x40, 0x40, 0x40, 0x80}},
      {"RGB 8 bits",
       {1, 2, 8, 2, 0, {0, 1, 2, 3, 0, 4, 5, 6}, {}, {}},
       {1, 2, 3, 255, 4, 5, 6, 255}},
      {"RGB 16 bits",
       {1, 1, 16, 2, 0, {0, 0xA1, 9, 0xB2, 9, 0xC3, 9}, {}, {}},
       {0xA1, 0xB2, 0xC3, 255}},
      {"RGB 8 bits, one colour transparent",
       {2, 1, 8, 2, 0, {0, 1, 2, 3, 1, 2, 4}, {}, {0, 1, 0, 2, 0, 3}},
       {1, 2, 3, 0, 1, 2, 4, 255}},
      {"palette 1 bit",
       {2, 1, 1, 3, 0, {0, 0b0100'0000}, {10, 20, 30, 40, 50, 60}, {}},
       {10, 20, 30, 255, 40, 50, 60, 255}},
      {"palette 2 bits",
       {2, 1, 2, 3, 0, {0, 0b1000'0000}, {10, 20, 30, 40, 50, 60, 70, 80, 90}, {}},
       {70, 80, 90, 255, 10, 20, 30, 255}},
      {"palette 4 bits with alpha",
       {2, 1, 4, 3, 0, {0, 0x10}, {10, 20, 30, 40, 50, 60}, {7}},
       {40, 50, 60, 255, 10, 20, 30, 7}},
      {"palette 8 bits", {1, 1, 8, 3, 0, {0, 1}, {10, 20, 30, 40, 50, 60}, {}}, {40, 50, 60, 255}},
      {"RGBA 8 bits", {1, 1, 8, 6, 0, {0, 1, 2, 3, 4}, {}, {}}, {1, 2, 3, 4}},
      {"RGBA 16 bits", {1, 1, 16, 6, 0, {0, 1, 0, 2, 0, 3, 0, 4, 0}, {}, {}}, {1, 2, 3, 4}},
      // Adam7 on 2 x 2: pass 1 holds (0,0), pass 6 (1,0), pass 7 the second row.
      {"interlaced RGB 8 bits",
       {2, 2, 8, 2, 1, {0, 1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 4, 4, 4}, {}, {}},
       {1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255, 4, 4, 4, 255}},
  };
  for (const tCase& c : cases) {
    tImage image;
    std::string error;
    ASSERT_TRUE(DecodePng(MakePng(c.Layout), image, error)) << c.What << ": " << error;
    EXPECT_EQ(image.Width, static_cast<int>(c.Layout.Width)) << c.What;
    EXPECT_EQ(image.Height, static_cast<int>(c.Layout.Height)) << c.What;
    EXPECT_EQ(image.Rgba, c.Rgba) << c.What;
  }
}

TEST(DecodePng, BadBytesFailWithAReasonAndLeaveThePicture) {
  const tBytes good = SmallRgbPng();
  std::vector<std::pair<std::string, tBytes>> cases = {
      {"empty", {}},
      {"not a PNG", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0}},
      {"signature only", tBytes(good.begin(), good.begin() + 8)},
      {"palette picture without palette", MakePng({1, 1, 8, 3, 0, {0, 0}, {}, {}})},
      {"palette index beyond the palette", MakePng({1, 1, 8, 3, 0, {0, 5}, {1, 2, 3}, {}})},
      {"bit depth 3", MakePng({1, 1, 3, 0, 0, {0, 0}, {}, {}})},
      {"too few pixel rows", MakePng({3, 4, 8, 2, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {}, {}})},
      {"width above the limit", MakePng({16385, 1, 8, 0, 0, {0}, {}, {}})},
      {"height above the limit", MakePng({1, 16385, 8, 0, 0, {0}, {}, {}})},
      {"width zero", MakePng({0, 1, 8, 0, 0, {0}, {}, {}})},
      // Within the limits, but a few bytes cannot hold 16384 x 16384 pixels: refused before a
      // gigabyte is set aside for them.
      {"largest picture, no data", MakePng({16384, 16384, 8, 6, 0, {0}, {}, {}})},
  };
  for (std::size_t cut = 0; cut < good.size(); ++cut)  // every truncation
    cases.emplace_back("cut at " + std::to_string(cut), tBytes(good.begin(), good.begin() + cut));
  for (std::size_t at = 8; at < good.size();
       ++at) {  // every single flipped byte after the signature
    tBytes bad = good;
    bad[at] ^= 0x20;
    cases.emplace_back("byte " + std::to_string(at) + " flipped", bad);
  }
  for (const auto& [what, bytes] : cases) {
    tImage image = Sentinel();
    std::string error;
    EXPECT_FALSE(DecodePng(bytes, image, error)) << what;
    EXPECT_FALSE(error.empty()) << what;
    EXPECT_EQ(error.find('\n'), std::string::npos) << what;
    ExpectSentinel(image);
  }
}

TEST(PngFiles, SavedPicturesLoadBackUnchanged) {
  TempFolder folder;
  const std::pair<int, int> sizes[] = {{1, 1}, {3, 2}, {17, 5}, {1, 300}, {93, 101}, {300, 1}};
  for (const auto& [width, height] : sizes) {
    const tImage original = Pattern(width, height);
    const std::string path = folder.File("round.png");
    std::string error;
    ASSERT_TRUE(SavePng(path, original, error)) << width << "x" << height << ": " << error;
    tImage loaded;
    ASSERT_TRUE(LoadPng(path, loaded, error)) << width << "x" << height << ": " << error;
    EXPECT_EQ(loaded.Width, width);
    EXPECT_EQ(loaded.Height, height);
    EXPECT_TRUE(loaded.Rgba == original.Rgba) << width << "x" << height;
  }
}

TEST(PngFiles, PicturesThatCannotBeEncodedAreRefused) {
  const tImage cases[] = {
      tImage{0, 1, {}},
      tImage{1, 0, {}},
      tImage{2, 2, tBytes(15)},  // one byte short
      tImage{16385, 1, tBytes(16385 * 4)},
      tImage{-1, -1, {}},
  };
  for (const tImage& image : cases) {
    tBytes bytes{42};
    std::string error;
    EXPECT_FALSE(EncodePng(image, bytes, error)) << image.Width << "x" << image.Height;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(bytes, tBytes{42});
  }
}

TEST(PngFiles, UnwritablePathsFailWithTheReasonAndRemoveNothingButOurFile) {
  TempFolder folder;
  const tImage picture = Pattern(4, 4);
  const std::pair<std::string, std::string> cases[] = {
      {folder.File("missing/x.png"),
       "cannot write " + folder.File("missing/x.png") + ": No such file or directory"},
      {folder.File(""), "cannot write " + folder.File("") + ": Is a directory"},
      {"/dev/full", "cannot write /dev/full: not a regular file"},
  };
  for (const auto& [path, reason] : cases) {
    std::string error;
    EXPECT_FALSE(SavePng(path, picture, error)) << path;
    EXPECT_EQ(error, reason);
  }
  EXPECT_TRUE(fs::exists("/dev/full")) << "a device is never removed";

  if (::geteuid() != 0) {  // root writes into read-only folders anyway
    const std::string locked = folder.File("locked");
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    std::string error;
    EXPECT_FALSE(SavePng(locked + "/x.png", picture, error));
    EXPECT_EQ(error, "cannot write " + locked + "/x.png: Permission denied");
    fs::permissions(locked, fs::perms::owner_all);
  }
}

TEST(PngFiles, ANameAsLongAsTheSystemAllowsCanBeWritten) {
  TempFolder folder;
  const std::string path = folder.File(std::string(255, 'n'));
  std::string error;
  EXPECT_TRUE(SavePng(path, Pattern(4, 4), error)) << error;
  EXPECT_TRUE(fs::is_regular_file(path));
}

TEST(PngFiles, AReplacedFileKeepsItsPermissions) {
  TempFolder folder;
  const std::vector<std::uint8_t> old = {'o', 'l', 'd'}, replacement = {'n', 'e', 'w'};
  for (const mode_t mode : {0600, 0640, 0644, 0660, 0700, 0755, 0444, 0604}) {
    SCOPED_TRACE(::testing::Message() << std::oct << mode);
    const std::string path = folder.File("kept.txt");
    std::string error;
    ASSERT_TRUE(WriteFileBytes(path, old, error)) << error;
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(WriteFileBytes(path, replacement, error)) << error;
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, mode);
    std::vector<std::uint8_t> read;
    ASSERT_TRUE(ReadFileBytes(path, 100, read, error)) << error;
    EXPECT_EQ(read, replacement);
    ::chmod(path.c_str(), 0600);
    ::unlink(path.c_str());
  }
  // A new name gets what the umask leaves of read and write for everyone.
  const mode_t mask = ::umask(027);
  const std::string fresh = folder.File("fresh.txt");
  std::string error;
  const bool written = WriteFileBytes(fresh, old, error);
  ::umask(mask);
  ASSERT_TRUE(written) << error;
  struct stat info {};
  ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(PngFiles, AFailedWriteLeavesWhatHadTheNameAndNothingElse) {
  TempFolder folder;
  const std::string path = folder.File("cut.png");
  const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
  std::string error;
  ASSERT_TRUE(WriteFileBytes(path, old, error)) << error;
  // Files may grow to 100 bytes only; the signal that would end the process is ignored, so
  // that the write fails with EFBIG instead.
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = before;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = SavePng(path, Pattern(93, 101), error);
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(saved);
  EXPECT_EQ(error, "cannot write " + path + ": File too large");
  std::vector<std::uint8_t> kept;
  ASSERT_TRUE(ReadFileBytes(path, 100, kept, error)) << error;
  EXPECT_EQ(kept, old);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.File("")))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"cut.png"}) << "nothing is left beside it";
}

TEST(PngFiles, UnreadableFilesFailWithTheReasonAndLeaveThePicture) {
  TempFolder folder;
  const std::string text = folder.File("text.png");
  std::ofstream(text) << "hello";
  const std::string huge = folder.File("huge.png");
  std::ofstream(huge).close();
  fs::resize_file(huge, 64u * 1024 * 1024 + 1);  // sparse: costs no disk space
  const std::string fifo = folder.File("fifo.png");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string missing = folder.File("missing.png");
  const std::string dir = folder.File("");

  const std::pair<std::string, std::string> cases[] = {
      {missing, "cannot read " + missing + ": No such file or directory"},
      {dir, "cannot read " + dir + ": Is a directory"},
      {fifo, "cannot read " + fifo + ": not a regular file"},
      {huge, "cannot read " + huge + ": larger than 67108864 bytes"},
      {text, text + ": not a PNG file"},
  };
  for (const auto& [path, reason] : cases) {
    tImage image = Sentinel();
    std::string error;
    EXPECT_FALSE(LoadPng(path, image, error)) << path;
    EXPECT_EQ(error, reason);
    ExpectSentinel(image);
  }
}

TEST(DecodeJpeg, TheAboutPictureIsWholeAndOpaque) {
  tImage image;
  std::string error;
  ASSERT_TRUE(DecodeJpeg(AboutPictureJpeg(), image, error)) << error;
  EXPECT_EQ(image.Width, 350);
  EXPECT_EQ(image.Height, 100);
  ASSERT_EQ(image.Rgba.size(), 350u * 100 * 4);
  for (std::size_t i = 3; i < image.Rgba.size(); i += 4)
    ASSERT_EQ(image.Rgba[i], 255) << i;
  // Red, green and blue come out in that order: the background is a dark blue.
  EXPECT_GT(image.Rgba[2], image.Rgba[0] + 20);
}

TEST(DecodeJpeg, BadBytesFailWithAReasonAndLeaveThePicture) {
  const auto about = AboutPictureJpeg();
  const tBytes whole(about.begin(), about.end());
  std::vector<std::pair<std::string, tBytes>> cases = {
      {"empty", {}},
      {"a PNG", SmallRgbPng()},
      {"start marker only", {0xFF, 0xD8}},
      {"headers only", tBytes(whole.begin(), whole.begin() + 600)},
      {"cut in the middle of the scan", tBytes(whole.begin(), whole.begin() + whole.size() / 2)},
      {"end marker missing", tBytes(whole.begin(), whole.end() - 2)},
  };
  for (const auto& [what, bytes] : cases) {
    tImage image = Sentinel();
    std::string error;
    EXPECT_FALSE(DecodeJpeg(bytes, image, error)) << what;
    EXPECT_FALSE(error.empty()) << what;
    ExpectSentinel(image);
  }
}

TEST(LogoFiles, EveryNameOfTheLogoTableIsAPictureOfTheLogoSize) {
  std::set<std::string, std::less<>> names;
  for (std::uint32_t key = 0; key <= 0xFFFF; ++key)
    names.emplace(LogoFileName(static_cast<std::uint16_t>(key)));
  ASSERT_TRUE(names.contains("No_Logo.PNG"));
  for (const std::string& name : names) {
    tImage image;
    std::string error;
    ASSERT_TRUE(LoadPng(std::string(LUMARIAN_LOGO_DIR) + "/" + name, image, error)) << error;
    EXPECT_EQ(image.Width, 93) << name;
    EXPECT_EQ(image.Height, 101) << name;
  }
}

}  // namespace
