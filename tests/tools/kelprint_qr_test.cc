// QR codes through KELPRINT's outputs, read back as a phone would: the PDF
// rasterised by pdftoppm, a continuous-form printer's ESC/P bit images put
// into a bitmap by the small interpreter below, each scanned by zbarimg.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../support/temp_dir.h"
#include "destination.h"
#include "print_run.h"
#include "spool_layout.h"

namespace kelprint {
namespace {

using testing_support::TempDir;

const std::string kUrl =
    "https://prewww2.aeat.es/wlpl/TIKE-CONT/ValidarQR?nif=89890001K&numserie=12345678%26G33"
    "&fecha=01-01-2024&importe=241.4";

// A page in the shape of the boxed receipt: a code right of text that fills
// columns 1 to 95 on every line, its room going to the line's end.
std::string RightOfTheText() {
  std::string s =
      "DEVICE\r\nPAGE 66 \r\nQR 97 , 0 , 35 , 0 ," + kUrl + "\r\nQRNOTETOTAL 1.210,00\r\n";
  for (int line = 0; line < 30; ++line) {
    char label[8];
    std::snprintf(label, sizeof label, "#%02d", line);
    s += " 1 ," + std::string(label) + std::string(92, 'X') + ", 1 \r\n";
  }
  return s + "END\r\n";
}

// A page in the shape of the pre-printed forms: a code in the 16 blank
// columns at the left of lines whose text starts at column 17 and runs far
// to the right.
std::string LeftOfTheText() {
  std::string s = "DEVICE\r\nPAGE 24 \r\n 9 ,FACTURA, 0 \r\nQR 1 , 1 , 30 , 16 ," + kUrl + "\r\n";
  for (int line = 0; line < 24; ++line) {
    char label[8];
    std::snprintf(label, sizeof label, "#%02d", line);
    s += " 17 ," + std::string(label) + std::string(117, 'X') + ", 1 \r\n";
  }
  return s + "END\r\n";
}

std::string Run(const std::string& command) {
  std::string out;
  if (std::FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

// What zbarimg reads in an image file.
std::string Scanned(const std::string& image) {
  return Run("zbarimg --raw -q '" + image + "' 2>/dev/null");
}

PrintOutcome Print(const TempDir& dir, const std::string& spool, const Destination& d) {
  dir.Write("s.tmp", spool);
  SpoolSurvey survey;
  EXPECT_TRUE(SurveySpool(dir.Sub("s.tmp"), false, &survey));
  return PrintSpool(dir.Sub("s.tmp"), survey, d);
}

struct Gray {
  int width = 0, height = 0;
  std::string pixels;
  bool Dark(int x, int y) const {
    return static_cast<unsigned char>(pixels[static_cast<size_t>(y * width + x)]) < 128;
  }
};

Gray ReadPgm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  Gray g;
  in >> magic >> g.width >> g.height >> maxValue;
  in.get();
  g.pixels.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.height));
  in.read(g.pixels.data(), static_cast<std::streamsize>(g.pixels.size()));
  return g;
}

// The dark square around the point: grown while a dark pixel lies on its
// border, it ends on the code's outline (the finder patterns are its
// corners) when the point lies on the code.
struct Box {
  int left, top, right, bottom;
};
Box GrowAround(const Gray& g, int x, int y) {
  Box b{x, y, x, y};
  for (bool grew = true; grew;) {
    grew = false;
    const auto darkIn = [&](int x0, int y0, int x1, int y1) {
      for (int yy = std::max(y0, 0); yy <= std::min(y1, g.height - 1); ++yy) {
        for (int xx = std::max(x0, 0); xx <= std::min(x1, g.width - 1); ++xx) {
          if (g.Dark(xx, yy)) return true;
        }
      }
      return false;
    };
    // A module of a code is at most 40 mm / 21 = 23 px at 300 dpi: look
    // that far past each side.
    constexpr int kReach = 24;
    if (darkIn(b.left - kReach, b.top, b.left - 1, b.bottom)) b.left -= 1, grew = true;
    if (darkIn(b.right + 1, b.top, b.right + kReach, b.bottom)) b.right += 1, grew = true;
    if (darkIn(b.left, b.top - kReach, b.right, b.top - 1)) b.top -= 1, grew = true;
    if (darkIn(b.left, b.bottom + 1, b.right, b.bottom + kReach)) b.bottom += 1, grew = true;
  }
  return b;
}

// A point inside the code: the first one, from the top, at the centre of
// a dark square of a millimetre, which text strokes are too thin to hold
// and the code's finder patterns hold.
std::pair<int, int> InsideTheCode(const Gray& g) {
  constexpr int kSquare = 12;
  for (int y = 0; y + kSquare < g.height; y += 2) {
    for (int x = 0; x + kSquare < g.width; x += 2) {
      bool solid = true;
      for (int yy = y; yy < y + kSquare && solid; ++yy) {
        for (int xx = x; xx < x + kSquare && solid; ++xx) solid = g.Dark(xx, yy);
      }
      if (solid) return {x + kSquare / 2, y + kSquare / 2};
    }
  }
  return {-1, -1};
}

constexpr double kPixelsPerMm = 300 / 25.4;

// The first page of the PDF at 300 dpi: the code reads back as the text,
// 30 to 40 mm a side, with at least 2 mm of blank paper all round.
void ExpectReadableCodeInPdf(const TempDir& dir, const std::string& spool, const char* what) {
  const PrintOutcome done = Print(dir, spool, {Destination::Kind::kPdfFile, dir.Sub("r.pdf")});
  ASSERT_EQ(done.code, kPrintedOk) << done.message;
  ASSERT_EQ(std::system(("pdftoppm -r 300 -gray -f 1 -l 1 -singlefile '" + dir.Sub("r.pdf") +
                         "' '" + dir.Sub("page") + "'")
                            .c_str()),
            0);
  const std::string image = dir.Sub("page.pgm");
  EXPECT_EQ(Scanned(image), kUrl + "\n") << what;
  const Gray g = ReadPgm(image);
  const auto [x, y] = InsideTheCode(g);
  ASSERT_GE(x, 0) << what;
  const Box code = GrowAround(g, x, y);
  const double side = (code.right - code.left + 1) / kPixelsPerMm;
  EXPECT_GE(side, 30) << what;
  EXPECT_LE(side, 40) << what;
  EXPECT_NEAR((code.bottom - code.top + 1) / kPixelsPerMm, side, 0.5) << what;
  const int blank = static_cast<int>(2 * kPixelsPerMm + 1);
  int darkAround = 0;
  for (int y = code.top - blank; y <= code.bottom + blank; ++y) {
    for (int x = code.left - blank; x <= code.right + blank; ++x) {
      const bool inCode = x >= code.left && x <= code.right && y >= code.top && y <= code.bottom;
      if (!inCode && g.Dark(x, y)) ++darkAround;
    }
  }
  EXPECT_EQ(darkAround, 0) << what;
}

TEST(KelprintQrCode, APdfCodeReadsBackAtItsSizeWithBlankAllRound) {
  TempDir dir;
  ExpectReadableCodeInPdf(dir, RightOfTheText(), "right of the text");
  ExpectReadableCodeInPdf(dir, LeftOfTheText(), "left of the text");
}

// What a continuous-form printer puts on paper: the dots of ESC * bit
// images (8-dot modes 0-7 at 1 byte a column, 24-dot modes at 3), text
// lines at 10 characters an inch, ESC J n feeds (n/180 inch on 24 pins,
// n/216 on 9) and line feeds of 1/6 inch, up to the first form feed.
// Positions are kept in 1/720 inch across and 1/1080 inch down.
struct Paper {
  std::map<std::pair<int, int>, bool> dots;        // (x, y) in the bitmap's dots
  std::vector<std::pair<int, std::string>> texts;  // height of each printed text, and it
};

Paper Interpret(const std::string& bytes, int pins) {
  const int dpi = pins == 9 ? 72 : 180;
  const int feedUnit = pins == 9 ? 5 : 6;
  Paper paper;
  int x = 0, y = 0;
  std::string text;
  const auto endText = [&] {
    if (text.find_first_not_of(' ') != std::string::npos) paper.texts.emplace_back(y, text);
    text.clear();
  };
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b == '\f') break;
    if (b == 0x1B && i + 2 < bytes.size() && bytes[i + 1] == 'J') {
      endText();
      y += static_cast<unsigned char>(bytes[i + 2]) * feedUnit;
      i += 2;
    } else if (b == 0x1B && i + 4 < bytes.size() && bytes[i + 1] == '*') {
      endText();
      const int mode = static_cast<unsigned char>(bytes[i + 2]);
      const int columns =
          static_cast<unsigned char>(bytes[i + 3]) + 256 * static_cast<unsigned char>(bytes[i + 4]);
      const int perColumn = mode >= 32 ? 3 : 1;
      i += 5;
      for (int c = 0; c < columns; ++c, x += 720 / dpi) {
        for (int pin = 0; pin < 8 * perColumn; ++pin) {
          const unsigned char byte = static_cast<unsigned char>(bytes[i + c * perColumn + pin / 8]);
          if (byte & (0x80 >> (pin % 8))) {
            paper.dots[{x * dpi / 720, y * dpi / 1080 + pin}] = true;
          }
        }
      }
      i += static_cast<size_t>(columns * perColumn) - 1;
    } else if (b == '\r') {
      endText();
      x = 0;
    } else if (b == '\n') {
      endText();
      y += 180;
    } else {
      text += static_cast<char>(b);
      x += 72;
    }
  }
  return paper;
}

// The dots as a PBM image with a blank border.
void WritePbm(const Paper& paper, const std::string& path) {
  int width = 0, height = 0;
  for (const auto& [at, dark] : paper.dots) {
    width = std::max(width, at.first + 1);
    height = std::max(height, at.second + 1);
  }
  constexpr int kBorder = 40;
  width += kBorder;
  height += kBorder;
  std::ofstream out(path);
  out << "P1\n" << width << " " << height << "\n";
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) out << (paper.dots.count({x, y}) ? "1 " : "0 ");
    out << "\n";
  }
}

// On both heads the code reads back, its legends are there, and every
// text line is printed where line feeds of 1/6 inch would have put it.
TEST(KelprintQrCode, ARawPrinterCodeReadsBackAndTheTextLinesKeepTheirPlaces) {
  TempDir dir;
  for (int pins : {24, 9}) {
    for (const std::string& spool : {RightOfTheText(), LeftOfTheText()}) {
      const std::string what = std::to_string(pins) + " pins, " + spool.substr(8, 8);
      const std::string port = dir.Sub("port.prn");
      dir.Write("Tora.ini",
                "[Impressores]\r\n" + port + ".Agulles=" + std::to_string(pins) + "\r\n");
      Destination d = ResolveDevice("raw:" + port, dir.path() + "/", dir.Sub("Tora.ini"));
      const PrintOutcome done = Print(dir, spool, d);
      ASSERT_EQ(done.code, kPrintedOk) << done.message;
      const Paper paper = Interpret(dir.Read("port.prn"), pins);
      WritePbm(paper, dir.Sub("paper.pbm"));
      EXPECT_EQ(Scanned(dir.Sub("paper.pbm")), kUrl + "\n") << what;
      bool heading = false, legend = false;
      for (const auto& [height, text] : paper.texts) {
        heading |= text.find("QR tributario:") != std::string::npos;
        legend |= text.find("VERI*FACTU") != std::string::npos;
        const size_t label = text.find('#');
        if (label == std::string::npos || text.size() < label + 3) continue;
        EXPECT_EQ(height, std::stoi(text.substr(label + 1, 2)) * 180) << what << ": " << text;
      }
      EXPECT_TRUE(heading && legend) << what;
    }
  }
}

// The outputs without graphics show the code's text in its place.
TEST(KelprintQrCode, TheTextOutputShowsTheCodesTextWithItsLegends) {
  TempDir dir;
  const PrintOutcome done =
      Print(dir, RightOfTheText(), {Destination::Kind::kTextFile, dir.Sub("r.txt")});
  ASSERT_EQ(done.code, kPrintedOk) << done.message;
  std::vector<std::string> lines;
  std::istringstream in(dir.Read("r.txt"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(96), "QR tributario:");
  EXPECT_EQ(lines[1].substr(96), kUrl);
  EXPECT_EQ(lines[2].substr(96), "VERI*FACTU");
  EXPECT_EQ(lines[3].substr(96), "TOTAL 1.210,00");
  EXPECT_EQ(lines[4].size(), 95u);
}

}  // namespace
}  // namespace kelprint
