#pragma once
// How several ports loaded at once show on stderr: one line per port, the port's name in
// front. On a terminal the lines stay in place and each is rewritten as its port goes on;
// in a log or a pipe every new line of a port is printed once, prefixed with the port.
// Ports report from their own threads.

#include <cstddef>
#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace dravik::cli {

class PortBoard {
 public:
  PortBoard(std::ostream& err, std::vector<std::string> ports, bool terminal);
  ~PortBoard();
  PortBoard(const PortBoard&) = delete;
  PortBoard& operator=(const PortBoard&) = delete;

  // Port `index` now reads `text`.
  void Update(std::size_t index, const std::string& text);
  // A stream whose every line becomes port `index`'s text (for a ProgressPrinter).
  std::ostream& LinesOf(std::size_t index);

 private:
  class LineBuffer;
  void Redraw();

  std::ostream& err_;
  std::vector<std::string> ports_;
  std::vector<std::string> texts_;
  bool terminal_;
  bool drawn_ = false;
  std::size_t nameWidth_ = 0;
  std::mutex mutex_;
  std::vector<std::unique_ptr<LineBuffer>> buffers_;
  std::vector<std::unique_ptr<std::ostream>> streams_;
};

}  // namespace dravik::cli
