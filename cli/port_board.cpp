#include "cli/port_board.h"

#include <algorithm>

namespace dravik::cli {

// Gathers characters until a newline, then hands the line to the board.
class PortBoard::LineBuffer : public std::streambuf {
 public:
  LineBuffer(PortBoard& board, std::size_t index) : board_(board), index_(index) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    if (ch == '\n') {
      board_.Update(index_, line_);
      line_.clear();
    } else {
      line_ += ch;
    }
    return c;
  }

 private:
  PortBoard& board_;
  std::size_t index_;
  std::string line_;
};

PortBoard::PortBoard(std::ostream& err, std::vector<std::string> ports, bool terminal)
    : err_(err), ports_(std::move(ports)), texts_(ports_.size()), terminal_(terminal) {
  for (const std::string& port : ports_) nameWidth_ = std::max(nameWidth_, port.size());
  for (std::size_t i = 0; i < ports_.size(); ++i) {
    buffers_.push_back(std::make_unique<LineBuffer>(*this, i));
    streams_.push_back(std::make_unique<std::ostream>(buffers_.back().get()));
  }
}

PortBoard::~PortBoard() = default;

std::ostream& PortBoard::LinesOf(std::size_t index) {
  return *streams_.at(index);
}

void PortBoard::Update(std::size_t index, const std::string& text) {
  const std::lock_guard lock(mutex_);
  if (texts_.at(index) == text) return;
  texts_[index] = text;
  if (terminal_) {
    Redraw();
    return;
  }
  err_ << ports_[index] << ": " << text << '\n' << std::flush;
}

void PortBoard::Redraw() {
  // Up to the first of our lines, then each line rewritten and the rest of it cleared.
  if (drawn_) err_ << "\x1b[" << ports_.size() << 'A';
  for (std::size_t i = 0; i < ports_.size(); ++i) {
    err_ << '\r' << ports_[i] << std::string(nameWidth_ - ports_[i].size(), ' ') << "  "
         << texts_[i] << "\x1b[K\n";
  }
  err_ << std::flush;
  drawn_ = true;
}

}  // namespace dravik::cli
