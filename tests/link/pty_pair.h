#pragma once

#include <termios.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::testing {

// A pseudo-terminal standing in for a meter cable: the test writes on the
// master side, the program opens the slave device by its path. The pair starts
// raw, so nothing written before the program sets the line up is echoed or
// translated.
class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& path() const { return path_; }
  // Writes to the master side and returns once the slave side holds the bytes.
  void send(const std::vector<std::uint8_t>& bytes);
  // The cable is pulled: whoever has the slave open sees a hang-up.
  void unplug();
  // Puts the line in the state a fresh terminal has: line editing, echo,
  // CR translation and XON/XOFF flow control.
  void cook();
  // Bytes that came back to the master side (an echo).
  int echoed() const;
  // The line settings the slave side has now.
  termios settings() const;

 private:
  int queued() const;

  int master_ = -1;
  int slave_ = -1;  // kept open so the device stays while the program closes it
  std::string path_;
};

}  // namespace tarvo::testing
