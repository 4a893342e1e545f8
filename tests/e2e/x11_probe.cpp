// dravik-x11-probe: what the journeys read back from the X server they drive dravik on,
// without a toolkit of its own (a Qt program would become one more clipboard client).
//
//   dravik-x11-probe find RRGGBB                 bounding box "x y w h" of every screen pixel of
//                                               that colour; exit 1 when there is none
//   dravik-x11-probe count RRGGBB X Y W H        how many pixels of that colour lie in the box
//   dravik-x11-probe pixel X Y                   the colour at a point, as RRGGBB
//   dravik-x11-probe colours X Y W H             every colour in the box with its count,
//                                               most frequent first ("RRGGBB N" a line)
//   dravik-x11-probe clipboard                   the CLIPBOARD text; exit 1 when nobody owns
//                                               it or the owner gives no text in time
//
// Exit status 2 for usage errors and when the display cannot be opened.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int kUsage = 2;
constexpr auto kClipboardTimeout = std::chrono::seconds(10);

struct Box {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
struct ImageDestroyer {
  void operator()(XImage* image) const { XDestroyImage(image); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;
using ImagePtr = std::unique_ptr<XImage, ImageDestroyer>;

std::optional<unsigned> ParseColour(const char* text) {
  if (std::strlen(text) != 6) return std::nullopt;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 16);
  if (*end != '\0') return std::nullopt;
  return static_cast<unsigned>(value);
}

std::optional<int> ParseInt(const char* text) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0') return std::nullopt;
  return static_cast<int>(value);
}

// Four numbers: x, y, width and height.
std::optional<Box> ParseBox(char** numbers) {
  int values[4];
  for (int i = 0; i < 4; ++i) {
    const std::optional<int> value = ParseInt(numbers[i]);
    if (!value) return std::nullopt;
    values[i] = *value;
  }
  return Box{values[0], values[1], values[2], values[3]};
}

// The channel of `pixel` under `mask`, scaled to 8 bits.
unsigned Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  unsigned long bits = mask >> shift;
  int width = 0;
  while (((bits >> width) & 1u) != 0) ++width;
  const unsigned long value = (pixel & mask) >> shift;
  return width >= 8 ? static_cast<unsigned>(value >> (width - 8))
                    : static_cast<unsigned>(value * 255 / ((1ul << width) - 1));
}

unsigned Rgb(XImage& image, int x, int y) {
  const unsigned long pixel = XGetPixel(&image, x, y);
  return Channel(pixel, image.red_mask) << 16 | Channel(pixel, image.green_mask) << 8 |
         Channel(pixel, image.blue_mask);
}

// The screen's picture inside `box`, clipped to the screen.
ImagePtr Grab(Display& display, Box& box) {
  const Window root = DefaultRootWindow(&display);
  XWindowAttributes attributes;
  XGetWindowAttributes(&display, root, &attributes);
  const int right = std::min(box.x + box.width, attributes.width);
  const int bottom = std::min(box.y + box.height, attributes.height);
  box.x = std::max(box.x, 0);
  box.y = std::max(box.y, 0);
  box.width = right - box.x;
  box.height = bottom - box.y;
  if (box.width <= 0 || box.height <= 0) return nullptr;
  return ImagePtr(XGetImage(&display, root, box.x, box.y, static_cast<unsigned>(box.width),
                            static_cast<unsigned>(box.height), AllPlanes, ZPixmap));
}

Box WholeScreen(Display& display) {
  XWindowAttributes attributes;
  XGetWindowAttributes(&display, DefaultRootWindow(&display), &attributes);
  return {0, 0, attributes.width, attributes.height};
}

int Find(Display& display, unsigned colour) {
  Box box = WholeScreen(display);
  ImagePtr image = Grab(display, box);
  if (!image) return 1;
  int left = box.width, top = box.height, right = -1, bottom = -1;
  for (int y = 0; y < box.height; ++y) {
    for (int x = 0; x < box.width; ++x) {
      if (Rgb(*image, x, y) != colour) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return 1;
  std::printf("%d %d %d %d\n", left, top, right - left + 1, bottom - top + 1);
  return 0;
}

int Count(Display& display, unsigned colour, Box box) {
  ImagePtr image = Grab(display, box);
  long count = 0;
  if (image) {
    for (int y = 0; y < box.height; ++y) {
      for (int x = 0; x < box.width; ++x) count += Rgb(*image, x, y) == colour;
    }
  }
  std::printf("%ld\n", count);
  return 0;
}

int Colours(Display& display, Box box) {
  ImagePtr image = Grab(display, box);
  std::map<unsigned, long> counts;
  if (image) {
    for (int y = 0; y < box.height; ++y) {
      for (int x = 0; x < box.width; ++x) ++counts[Rgb(*image, x, y)];
    }
  }
  std::vector<std::pair<long, unsigned>> sorted;
  for (const auto& [colour, count] : counts) sorted.emplace_back(count, colour);
  std::sort(sorted.rbegin(), sorted.rend());
  for (const auto& [count, colour] : sorted) std::printf("%06X %ld\n", colour, count);
  return 0;
}

int Pixel(Display& display, int x, int y) {
  Box box{x, y, 1, 1};
  ImagePtr image = Grab(display, box);
  if (!image) return 1;
  std::printf("%06X\n", Rgb(*image, 0, 0));
  return 0;
}

// Asks the CLIPBOARD's owner for UTF8_STRING into a property of a window of our own and
// waits for its answer.
int Clipboard(Display& display) {
  const Atom clipboard = XInternAtom(&display, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(&display, "UTF8_STRING", False);
  const Atom property = XInternAtom(&display, "DRAVIK_PROBE", False);
  if (XGetSelectionOwner(&display, clipboard) == None) return 1;
  const Window window = XCreateSimpleWindow(&display, DefaultRootWindow(&display), 0, 0, 1, 1, 0, 0, 0);
  XConvertSelection(&display, clipboard, utf8, property, window, CurrentTime);
  XFlush(&display);
  const auto deadline = std::chrono::steady_clock::now() + kClipboardTimeout;
  XEvent event;
  while (true) {
    if (XCheckTypedWindowEvent(&display, window, SelectionNotify, &event)) break;
    if (std::chrono::steady_clock::now() > deadline) return 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (event.xselection.property == None) return 1;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(&display, window, property, 0, 1 << 20, True, AnyPropertyType, &type, &format,
                         &items, &after, &data) != Success ||
      data == nullptr) {
    return 1;
  }
  std::fwrite(data, 1, items * static_cast<unsigned long>(format / 8), stdout);
  std::fputc('\n', stdout);
  XFree(data);
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: dravik-x11-probe find RRGGBB | count RRGGBB X Y W H | colours X Y W H | pixel X Y |"
               " clipboard\n");
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  DisplayPtr display(XOpenDisplay(nullptr));
  if (!display) {
    std::fprintf(stderr, "dravik-x11-probe: cannot open the display\n");
    return kUsage;
  }
  if (command == "find" && argc == 3) {
    const std::optional<unsigned> colour = ParseColour(argv[2]);
    return colour ? Find(*display, *colour) : Usage();
  }
  if (command == "count" && argc == 7) {
    const std::optional<unsigned> colour = ParseColour(argv[2]);
    const std::optional<Box> box = ParseBox(argv + 3);
    return colour && box ? Count(*display, *colour, *box) : Usage();
  }
  if (command == "colours" && argc == 6) {
    const std::optional<Box> box = ParseBox(argv + 2);
    return box ? Colours(*display, *box) : Usage();
  }
  if (command == "pixel" && argc == 4) {
    const std::optional<int> x = ParseInt(argv[2]);
    const std::optional<int> y = ParseInt(argv[3]);
    return x && y ? Pixel(*display, *x, *y) : Usage();
  }
  if (command == "clipboard" && argc == 2) return Clipboard(*display);
  return Usage();
}
