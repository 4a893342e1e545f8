#include "editor/render/element_renderers.h"

#include <QPainter>
#include <string>
#include <string_view>

#include "editor/render/element_canvas.h"
#include "editor/render/font_tables.h"
#include "editor/render/gbk_text.h"
#include "editor/render/rgb_image_bridge.h"
#include "editor/render/system_colour_table.h"
#include "model/project_image.h"
#include "model/settings_page.h"
#include "pictures/pic_man.h"
#include "pictures/picture_library.h"

namespace dravik::editor {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0;
constexpr std::uint32_t kInvisibleTextGrey = 0xB9B9B9;

// The slot's fields, read once per drawing.
struct Slot {
  const model::PageRecord& page;
  std::size_t s;

  int kind() const { return page.ElemKind[s]; }
  int width() const { return page.ElemWidth[s]; }
  int height() const { return page.ElemHeight[s]; }
  std::uint32_t longA() const { return static_cast<std::uint32_t>(page.ElemLongA[s]); }
  std::uint32_t longB() const { return static_cast<std::uint32_t>(page.ElemLongB[s]); }
  std::uint32_t longC() const { return static_cast<std::uint32_t>(page.ElemLongC[s]); }
  std::uint32_t longD() const { return static_cast<std::uint32_t>(page.ElemLongD[s]); }
  int wordA() const { return page.ElemWordA[s]; }
  int wordB() const { return page.ElemWordB[s]; }
  int wordC() const { return page.ElemWordC[s]; }
  int wordD() const { return page.ElemWordD[s]; }
  int wordE() const { return page.ElemWordE[s]; }
  int byteB() const { return page.ElemByteB[s]; }
  int byteC() const { return page.ElemByteC[s]; }
  int byteD() const { return page.ElemByteD[s]; }
  int byteE() const { return page.ElemByteE[s]; }
  int byteF() const { return page.ElemByteF[s]; }
};

Slot SlotOf(const RenderContext& context) {
  return {context.page, static_cast<std::size_t>(context.slot)};
}

// The first step of every renderer: the bounds from the slot and a bitmap of that size.
// `fresh` starts from a new bitmap with a new canvas (pen and brush at their defaults).
bool BeginDrawing(const RenderContext& context, ElementImage& element, bool fresh = false) {
  const Slot slot = SlotOf(context);
  const auto s = slot.s;
  element.slot = context.slot;
  element.bounds = QRect(context.page.ElemLeft[s], context.page.ElemTop[s], slot.width(),
                         slot.height());
  element.transparent = false;
  element.stretch = false;
  element.drawn = true;
  if (fresh) {
    element.bitmap = QImage();
    element.pen = {};
    element.brush = {};
  }
  element.PlaceMarkers();
  if (element.bounds.isEmpty()) {
    element.bitmap = QImage();
    element.shown = QImage();
    return false;
  }
  element.SizeBitmap();
  return true;
}

// Text-family bitmaps without font optimisation keep only the text and background
// colours. The colours are resolved first: the reduction works on plain RGB values.
void ThinColours(QImage& bitmap, std::uint32_t textColour, std::uint32_t backColour) {
  platform::RgbImage picture = ToRgbImage(bitmap);
  pictures::pThinColor(picture, ToStoredRgb(ResolveColour(textColour)),
                       ToStoredRgb(ResolveColour(backColour)));
  bitmap = ToQImage(picture);
}

// The concatenated state texts of a kind-33 element in one language.
std::string StateTexts(const model::PageRecord& page, int slot, int language) {
  std::string text;
  const int states = model::StatesPerLanguage(slot);
  for (int j = 0; j < states; ++j) {
    auto entry = model::TextEntry(slot, language, j);
    if (entry) text += page.DynTextStates[static_cast<std::size_t>(*entry)].View();
  }
  return text;
}

std::string_view TrendLabel(int format) {
  switch (format) {
    case 0: return "MM:SS";
    case 1: return "HH:MM";
    case 2: return "HH:MM:SS";
    default: return {};
  }
}

}  // namespace

bool RenderContext::LanguageTwo() const {
  if (options.languageOverride >= 0) return options.languageOverride == 1;
  return At(settings, model::settings::kStartLanguage) == 1;
}

void TextAndRegisterRefresh(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const Slot slot = SlotOf(context);
  const int w = slot.width();
  const int h = slot.height();
  const int kind = slot.kind();
  const int style = slot.wordC();
  const int size = ClampSizeCode((style >> 8) & 0x0F);
  const int frame = (style >> 12) & 0x0F;
  ElementCanvas canvas(element);

  canvas.SetBrushColour(slot.longA());
  canvas.SetFont(SongFont(FontPointTable[size]), slot.longB());
  const std::uint32_t penColour = frame == 1 ? kBlack : slot.longA();
  canvas.SetPenColour(penColour);
  canvas.Rectangle(0, 0, w, h);

  std::string text;
  if (kind == 33) {
    text = StateTexts(context.page, context.slot, context.LanguageTwo() ? 1 : 0);
  } else if ((kind == 1 || kind == 7 || kind == 8) && context.LanguageTwo()) {
    text = context.page.ElemTextB[slot.s].Str();
  } else {
    text = context.page.ElemTextA[slot.s].Str();
  }
  const int y = (h - TextHeightTable[size]) / 2;
  const int x = frame == 0 ? 1 : 3;
  canvas.TextOut(x, y, FromGbk(text));

  if (!context.options.fontOptimisation) ThinColours(element.bitmap, slot.longB(), slot.longA());

  canvas.SetBrushStyle(BrushStyle::Clear);
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.Rectangle(0, 0, w, h);

  if (((kind == 2 || kind == 7 || kind == 9) && frame == 2) ||
      ((kind == 10 || kind == 11) && frame != 0)) {
    DrawEdge(canvas, w, h, EdgeStyle::Sunken);
  } else if (kind == 8 && frame == 2) {
    DrawEdge(canvas, w, h, EdgeStyle::Raised);
  }
  element.Compose();
}

void LampRefresh(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const Slot slot = SlotOf(context);
  const int w = slot.width();
  const int h = slot.height();
  ElementCanvas canvas(element);

  element.transparent = true;
  std::uint32_t key = kWhite;
  if (slot.longB() != 0 && slot.longB() != 2) {
    key = KeyComplement(slot.longB());
  } else if (slot.longA() == kWhite) {
    key = KeyComplement(slot.longA());
  }
  element.keyColour = key;
  canvas.SetBrushColour(key);
  canvas.SetPenColour(key);
  canvas.Rectangle(0, 0, w, h);

  // Negative logic (ElemByteD 1) inverts the lamp.
  const bool lit = slot.byteD() != (context.options.bitPreviewOn ? 1 : 0);
  const std::uint32_t pen = lit ? slot.longA() : slot.longB();
  canvas.SetPenColour(pen);
  canvas.SetBrushColour(lit ? slot.longB() : slot.longA());
  const auto& text = lit ? context.page.ElemTextB[slot.s] : context.page.ElemTextA[slot.s];

  switch (slot.byteF()) {
    case 0:
      canvas.Ellipse(0, 0, w, h);
      break;
    case 1:
      canvas.Rectangle(0, 0, w, h);
      break;
    case 2: {
      canvas.Rectangle(0, 0, w, h);
      const int size = h > 24 ? 1 : 0;
      canvas.SetFont(SongFont(FontPointTable[size]), pen);
      canvas.TextOut(2, (h - TextHeightTable[size]) / 2, FromGbk(text.View()));
      break;
    }
    default:
      break;
  }
  element.Compose();
}

void TrendRefresh(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element, /*fresh=*/true)) return;
  const Slot slot = SlotOf(context);
  ElementCanvas canvas(element);

  canvas.SetBrushColour(slot.longA());
  canvas.SetPenColour(slot.longA());
  canvas.Rectangle(0, 0, slot.width(), slot.height());
  const int w1 = slot.width() - 1;
  const int h1 = slot.height() - 1;

  const bool labels = slot.byteC() != 0;
  const int band = labels ? TextHeightTable[ClampSizeCode(slot.wordE() & 0x0F)] + 2 : 0;

  // Labels whose size code lies beyond the tables are left out; the chart is still drawn.
  const int labelSize = slot.wordE();
  const int count = slot.wordB() & 0xFF;
  if (labels && labelSize < kSizeCodeCount && count > 1) {
    const std::string_view label = TrendLabel(slot.byteF());
    canvas.SetFont(SongFont(FontPointTable[labelSize]), slot.longB());
    const int textWidth = static_cast<int>(label.size()) * CharWidthTable[labelSize];
    const QString text = QString::fromLatin1(label.data(), static_cast<int>(label.size()));
    for (int i = 0; i < count; ++i) {
      canvas.TextOut(i * (w1 - textWidth) / (count - 1), h1 - band + 2, text);
    }
  }

  canvas.SetPenColour(slot.longB());
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.SetPenStyle(PenStyle::Solid);
  const int h2 = h1 - band;
  canvas.Rectangle(0, 0, w1, h2);

  canvas.MoveTo(0, h2);
  canvas.LineTo(w1 / 3, 5);
  canvas.LineTo(w1 / 2, h2 - 5);
  canvas.LineTo(2 * w1 / 3, h2 / 2);
  canvas.LineTo(w1 - 5, h2 / 2);

  if (slot.byteE() != 0) {
    // The plain complement of the background (not a key complement: top byte cleared).
    canvas.SetPenColour(~slot.longA() & 0x00FFFFFFu);
    const int columns = slot.wordB() & 0xFF;
    for (int i = 0; i < columns; ++i) {
      const int x = w1 * i / columns;
      canvas.Line(x, 0, x, h2);
    }
    const int rows = slot.wordB() >> 8;
    for (int i = 0; i < rows; ++i) {
      const int y = h2 * i / rows;
      canvas.Line(0, y, w1, y);
    }
  }
  element.Compose();
}

void VirgateRefresh(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const Slot slot = SlotOf(context);
  const int w = slot.width();
  const int h = slot.height();
  ElementCanvas canvas(element);

  canvas.SetBrushColour(slot.longA());
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.SetPenColour(kBlack);
  canvas.Rectangle(0, 0, w, h);

  // The pattern is set before the colour, so "clear" (1) turns solid again.
  const int pattern = slot.wordC() & 0xFF;
  canvas.SetBrushStyle(pattern <= 7 ? static_cast<BrushStyle>(pattern) : BrushStyle::Solid);
  canvas.SetBrushColour(slot.longB());

  switch (slot.wordC() >> 8) {
    case 0: canvas.Rectangle(0, h / 2, w, h); break;      // grows upward
    case 1: canvas.Rectangle(0, 0, w, h / 2); break;      // grows downward
    case 2: canvas.Rectangle(0, 0, w / 2, h); break;      // grows rightward
    case 3: canvas.Rectangle(w / 2, 0, w, h); break;      // grows leftward
    default: break;
  }
  element.Compose();
}

QImage PicturePlaceholder(bool isChinese) {
  static QImage cached[2];
  QImage& image = cached[isChinese ? 1 : 0];
  if (!image.isNull()) return image;
  image = QImage(pictures::kPlaceholderWidth, pictures::kPlaceholderHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  CanvasPen pen;
  CanvasBrush brush;
  ElementCanvas canvas(image, pen, brush);
  canvas.Rectangle(0, 0, image.width(), image.height());
  canvas.SetFont(SongFont(9), kBlack);
  canvas.TextOut(pictures::kPlaceholderTextX, pictures::kPlaceholderTextY,
                 QString::fromStdString(pictures::kPlaceholderText.In(isChinese)));
  return image;
}

void BmpRefresh(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const Slot slot = SlotOf(context);
  QImage picture;
  if (context.options.pictures == nullptr) {
    picture = PicturePlaceholder(context.options.isChinese);
  } else {
    pictures::GainedImage gained = context.options.pictures->GainImage(slot.wordE());
    switch (gained.kind) {
      case pictures::GainedImage::Kind::Picture: picture = ToQImage(gained.picture); break;
      case pictures::GainedImage::Kind::Placeholder:
        picture = PicturePlaceholder(context.options.isChinese);
        break;
      case pictures::GainedImage::Kind::Empty: break;
    }
  }
  element.bitmap = picture;
  element.transparent = (slot.wordD() & 1) != 0;
  element.keyColour = slot.longA();
  element.stretch = (slot.wordD() & 2) != 0;
  element.Compose();
}

void DrawPicture20Refresh(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const Slot slot = SlotOf(context);
  const int w = slot.width();
  const int h = slot.height();
  ElementCanvas canvas(element);

  if (slot.wordD() != 0) {
    canvas.SetBrushColour(slot.longB());
  } else {
    element.transparent = true;
    element.keyColour = KeyComplement(slot.longB());
    canvas.SetBrushColour(element.keyColour);
  }
  canvas.SetPenColour(slot.longB());
  canvas.Rectangle(0, 0, w, h);
  if (slot.wordE() == 2) {
    DrawEdge(canvas, w, h, EdgeStyle::Raised);
  } else if (slot.wordE() != 0) {
    DrawEdge(canvas, w, h, EdgeStyle::SunkenBox);
  }
  element.Compose();
}

namespace {

// Position `index` of `count` evenly spread over 0..extent. A count of 1 (which the
// drawing dialog never stores) puts its single tick at the start.
int Spread(int extent, int index, int count) {
  return count > 1 ? extent * index / (count - 1) : 0;
}

void DrawScale(ElementCanvas& canvas, const Slot& slot) {
  const int e = slot.height() - 1;
  const int f = slot.width() - 1;
  const int g = e / 2;
  const int m = f / 2;
  const int majors = slot.wordA();
  const int ticks = slot.byteB() * (majors - 1) + majors;
  const bool baseline = slot.wordD() == 1;
  switch (slot.wordB()) {
    case 0:  // baseline on top
      if (baseline) canvas.Line(0, 0, f, 0);
      for (int i = 0; i < majors; ++i) {
        const int x = Spread(f, i, majors);
        canvas.Line(x, 0, x, e);
      }
      for (int j = 0; j < ticks; ++j) {
        const int x = Spread(f, j, ticks);
        canvas.Line(x, 0, x, g);
      }
      break;
    case 1:  // baseline at the bottom
      if (baseline) canvas.Line(0, e, f, e);
      for (int i = 0; i < majors; ++i) {
        const int x = Spread(f, i, majors);
        canvas.Line(x, 0, x, e);
      }
      for (int j = 0; j < ticks; ++j) {
        const int x = Spread(f, j, ticks);
        canvas.Line(x, g, x, e);
      }
      break;
    case 2:  // baseline on the left
      if (baseline) canvas.Line(0, 0, 0, e);
      for (int i = 0; i < majors; ++i) {
        const int y = Spread(e, i, majors);
        canvas.Line(0, y, f, y);
      }
      for (int j = 0; j < ticks; ++j) {
        const int y = Spread(e, j, ticks);
        canvas.Line(0, y, m, y);
      }
      break;
    case 3:  // baseline on the right
      if (baseline) canvas.Line(f, 0, f, e);
      for (int i = 0; i < majors; ++i) {
        const int y = Spread(e, i, majors);
        canvas.Line(0, y, f, y);
      }
      for (int j = 0; j < ticks; ++j) {
        const int y = Spread(e, j, ticks);
        canvas.Line(m, y, f, y);
      }
      break;
    default:
      break;
  }
}

}  // namespace

void DrawPicture25Refresh(const RenderContext& context, ElementImage& element) {
  const Slot slot = SlotOf(context);
  // Black would be the same colour as the key complement of most plain colours, so it
  // is stored as the next-to-black 1.
  if (slot.longB() == 0) context.page.ElemLongB[slot.s] = 1;
  if (!BeginDrawing(context, element)) return;
  const int w = slot.width();
  const int h = slot.height();
  ElementCanvas canvas(element);

  element.transparent = true;
  element.keyColour = KeyComplement(slot.longB());
  canvas.SetBrushColour(element.keyColour);
  canvas.SetPenColour(element.keyColour);
  canvas.Rectangle(0, 0, w, h);
  canvas.SetBrushColour(slot.longB());
  canvas.SetPenColour(slot.longB());

  switch (slot.kind()) {
    case 25:
      DrawScale(canvas, slot);
      break;
    case 26:
      canvas.SetBrushStyle(slot.wordD() != 0 ? BrushStyle::Solid : BrushStyle::Clear);
      canvas.Ellipse(0, 0, w, h);
      break;
    case 27:
      canvas.SetPenWidth(slot.wordC());
      if (slot.byteD() == 0) {
        canvas.Line(1, 1, w - 1, h - 1);  // falling
      } else if (slot.byteD() == 1) {
        canvas.Line(1, h - 1, w - 1, 1);  // rising
      }
      break;
    default:
      break;
  }
  element.Compose();
}

void BitManipulationRefresh(const RenderContext& context, ElementImage& element) {
  if (!BeginDrawing(context, element)) return;
  const Slot slot = SlotOf(context);
  const int w = slot.width();
  const int h = slot.height();
  const bool on = context.options.bitPreviewOn;
  const bool two = context.LanguageTwo();
  const auto s = slot.s;
  const model::PageRecord& page = context.page;
  ElementCanvas canvas(element);

  const std::string_view text = on ? (two ? page.ElemNameB[s].View() : page.ElemTextB[s].View())
                                   : (two ? page.ElemNameA[s].View() : page.ElemTextA[s].View());
  std::uint32_t fontColour = on ? slot.longD() : slot.longB();
  canvas.SetBrushColour(on ? slot.longC() : slot.longA());

  const bool invisible = slot.byteD() != 0;
  if (invisible) {
    canvas.SetPenStyle(PenStyle::Dot);
    fontColour = kInvisibleTextGrey;
  } else {
    canvas.SetPenStyle(PenStyle::Clear);
  }
  // The pen colour is whatever the last drawing left, and only the top and left edges
  // of this outline fall inside the bitmap.
  canvas.Rectangle(0, 0, w + 1, h + 1);

  const int style = slot.wordC();
  const int alignment = (style >> 4) & 0x0F;
  const int size = ClampSizeCode((style >> 8) & 0x0F);
  const int frame = (style >> 12) & 0x0F;
  canvas.SetFont(SongFont(FontPointTable[size]), fontColour);
  const int textWidth = static_cast<int>(text.size()) * CharWidthTable[size];
  int x = 2;
  if (alignment == 1) {
    x = (w - textWidth) / 2;
  } else if (alignment == 2) {
    x = w < textWidth ? 3 : w - textWidth - 3;
  }
  canvas.TextOut(x, (h - TextHeightTable[size]) / 2, FromGbk(text));

  if (frame == 1) {
    canvas.SetPenColour(kBlack);
    canvas.SetPenStyle(invisible ? PenStyle::Dot : PenStyle::Solid);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.Rectangle(0, 0, w, h);
  } else if (frame == 2) {
    canvas.SetPenStyle(invisible ? PenStyle::Dot : PenStyle::Solid);
    DrawEdge(canvas, w, h, EdgeStyle::Raised);
  }
  element.Compose();
}

Renderer RendererForKind(int kind) {
  switch (kind) {
    case 1: case 2: case 7: case 8: case 9: case 10: case 11: case 16: case 19: case 33:
      return TextAndRegisterRefresh;
    case 3: return LampRefresh;
    case 4: case 29: return TrendRefresh;
    case 5: return VirgateRefresh;
    case 6: return BmpRefresh;
    case 20: case 21: case 22: case 23: case 24: return DrawPicture20Refresh;
    case 25: case 26: case 27: return DrawPicture25Refresh;
    case 34: return BitManipulationRefresh;
    default: return nullptr;
  }
}

void DrawElement(const RenderContext& context, ElementImage& element) {
  if (Renderer renderer = RendererForKind(context.page.ElemKind[static_cast<std::size_t>(context.slot)])) {
    renderer(context, element);
    return;
  }
  BeginDrawing(context, element, /*fresh=*/true);
  element.drawn = false;
  element.bitmap = QImage();
  element.shown = QImage();
}

}  // namespace dravik::editor
