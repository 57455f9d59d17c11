#include "tabs/messages/TextStream.h"

#include <cstring>

CTextStream::CTextStream(IStream* stream, bool keepLeadingBlanks)
    : m_keepLeadingBlanks(keepLeadingBlanks), m_stream(stream) {
  if (m_stream) m_stream->AddRef();
  m_end = m_stream == nullptr;
}

CTextStream::~CTextStream() {
  while (!m_states.empty()) RestoreState();
  if (m_stream) m_stream->Release();
}

bool CTextStream::SeekToBegin(ULONGLONG offset) {
  if (!m_stream) return false;
  LARGE_INTEGER move;
  move.QuadPart = static_cast<LONGLONG>(offset);
  return SUCCEEDED(m_stream->Seek(move, STREAM_SEEK_SET, nullptr));
}

bool CTextStream::IsSkipped(char c) const {
  if (c == '\n' || c == '\v' || c == '\f') return true;
  return !m_keepLeadingBlanks && (c == ' ' || c == '\t');
}

// False when the read failed; a short block marks the end of the stream.
bool CTextStream::ReadBlock() {
  ULONG read = 0;
  const HRESULT hr = m_stream->Read(m_buffer, kBlockSize, &read);
  if (FAILED(hr) || read > kBlockSize) {
    m_end = true;
    m_bytes = m_readPos = 0;
    return false;
  }
  if (read < kBlockSize) m_end = true;
  m_bytes = read;
  m_readPos = 0;
  return true;
}

int CTextStream::ReadString(std::string& out) {
  out.clear();
  if (m_pushback) {
    m_pushback = false;
    if (!m_hasLastLine) return 0;
    out.swap(m_lastLine);
    m_hasLastLine = false;
    m_lastLine.clear();
    return static_cast<int>(out.size());
  }
  m_hasLastLine = false;
  m_lastLine.clear();
  if (m_end && m_readPos >= m_bytes) return 0;
  bool skipping = false;
  for (;;) {
    if (skipping) {
      while (m_readPos < m_bytes && IsSkipped(m_buffer[m_readPos])) m_readPos++;
      if (m_readPos < m_bytes) break;
    } else if (m_readPos < m_bytes) {
      const char* start = m_buffer + m_readPos;
      const char* cr = static_cast<const char*>(memchr(start, '\r', m_bytes - m_readPos));
      if (cr) {
        out.append(start, cr - start);
        m_readPos = static_cast<ULONG>(cr - m_buffer) + 1;
        skipping = true;
        continue;
      }
      out.append(start, m_bytes - m_readPos);
      m_readPos = m_bytes;
    }
    if (m_end) break;
    if (!ReadBlock()) {
      out.clear();
      return 0;
    }
    if (m_bytes == 0) break;
  }
  if (out.empty()) return 0;
  m_lastLine = out;
  m_hasLastLine = true;
  return static_cast<int>(out.size());
}

bool CTextStream::SaveState() {
  if (m_states.size() >= kMaxStates || !m_stream) return false;
  LARGE_INTEGER zero;
  zero.QuadPart = 0;
  ULARGE_INTEGER position;
  if (FAILED(m_stream->Seek(zero, STREAM_SEEK_CUR, &position))) return false;
  m_states.emplace_back();
  State& state = m_states.back();
  state.position = position.QuadPart;
  state.bytes = m_bytes;
  state.readPos = m_readPos;
  memcpy(state.buffer, m_buffer, kBlockSize);
  state.pushback = m_pushback;
  state.end = m_end;
  state.hasLastLine = m_hasLastLine;
  state.lastLine = m_lastLine;
  return true;
}

bool CTextStream::RestoreState() {
  if (m_states.empty()) return false;
  State state = std::move(m_states.back());
  m_states.pop_back();
  LARGE_INTEGER move;
  move.QuadPart = static_cast<LONGLONG>(state.position);
  if (FAILED(m_stream->Seek(move, STREAM_SEEK_SET, nullptr))) return false;
  // The end flag goes back too: a look-ahead that met the end must not cut
  // off the blocks between the restored position and the end.
  m_end = state.end;
  m_bytes = state.bytes;
  m_readPos = state.readPos;
  memcpy(m_buffer, state.buffer, kBlockSize);
  m_pushback = state.pushback;
  m_hasLastLine = state.hasLastLine;
  m_lastLine = std::move(state.lastLine);
  return true;
}
