// CTextStream: 8-bit text lines from a stream, read in 512-byte blocks. A line
// ends at CR; the LF (and, unless leading blanks are kept, the blanks) after it
// are skipped. The MIME parser pushes a line back and saves up to 20 positions
// to look ahead into a part's header.
#pragma once

#include <objidl.h>

#include <string>
#include <vector>

class CTextStream {
public:
  static constexpr int kBlockSize = 512;
  static constexpr int kMaxStates = 20;

  // Holds a reference on the stream for its lifetime.
  CTextStream(IStream* stream, bool keepLeadingBlanks);
  virtual ~CTextStream();
  CTextStream(const CTextStream&) = delete;
  CTextStream& operator=(const CTextStream&) = delete;

  // Positions the stream; only before the first read, the buffer is kept.
  bool SeekToBegin(ULONGLONG offset = 0);
  // The next line's length: 0 for an empty line, the end, or a failed read.
  int ReadString(std::string& out);
  // The next ReadString gives the last line again (0 when it was empty).
  void UnreadLine() { m_pushback = true; }
  bool SaveState();
  bool RestoreState();
  // True once nothing is left to read: what tells an empty line from the end.
  bool IsEnd() const { return !m_pushback && m_end && m_readPos >= m_bytes; }

private:
  struct State {
    ULONGLONG position = 0;
    ULONG bytes = 0;
    ULONG readPos = 0;
    char buffer[kBlockSize];
    bool pushback = false;
    bool end = false;
    bool hasLastLine = false;
    std::string lastLine;
  };

  bool IsSkipped(char c) const;
  bool ReadBlock();

  std::vector<State> m_states;
  bool m_keepLeadingBlanks;
  bool m_end = false;
  bool m_pushback = false;
  IStream* m_stream;
  char m_buffer[kBlockSize];
  bool m_hasLastLine = false;
  std::string m_lastLine;
  ULONG m_bytes = 0;
  ULONG m_readPos = 0;
};
