#pragma once
// The LZSS encoder that writes the installer's entry streams.
//
// It searches as the classic binary-tree LZSS encoder does (ring of 4096 bytes, matches
// of 3 to 18 bytes, a binary search tree of the 4096 strings in the window, the longest
// match, and among equally long ones the one the tree walk meets first), with the part
// of the ring in front of the first byte filled with zeros instead of spaces, so that
// its streams are byte for byte those of that encoder. Every Encode starts from a fresh
// state (ring, the 17 bytes that mirror its start, the trees), so each entry's stream
// depends only on that entry's bytes and decodes with DecodeEntry whatever came before.
//
// EncodeSmallest writes the smallest stream the format allows instead: the same tree gives
// the longest match at every position within 4078 bytes, a direct search adds the 18 ring
// slots beyond, and a backward pass over the costs of a literal (one
// flag bit and a byte, 9 bits) and of a match (17 bits) chooses the tokens. Any prefix
// of 3 bytes or more of a match is a match, so the choice includes the stream Encode
// writes; when the choice is not smaller, that stream is written, byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "archive/LzssDecoder.h"

namespace archive {

class LzssEncoder {
 public:
  LzssEncoder() = default;
  LzssEncoder(const LzssEncoder&) = delete;
  LzssEncoder& operator=(const LzssEncoder&) = delete;

  // Encodes everything `in` yields up to its end of input as one stream into `out`.
  // Returns the number of bytes read. An empty input gives an empty stream.
  template <class In, class Out>
  std::uint64_t Encode(In& in, Out& out);

  // Like Encode, but writes the smallest stream this encoder can find, never larger than
  // Encode's. Keeps the whole input in memory (5 bytes per input byte).
  template <class In, class Out>
  std::uint64_t EncodeSmallest(In& in, Out& out);

 private:
  static constexpr unsigned N = kRingSize;
  static constexpr unsigned F = kMaxMatch;
  static constexpr unsigned kNil = N;  // "no node"; the tree roots are N+1..N+256

  void Reset();
  // Puts the string at ring position r into the tree (a node whose string equals r's in
  // all 18 bytes is replaced by r) and, with kFindMatch, sets matchPosition_ and
  // matchLength_ to the longest match found on the way. The walk is the same either
  // way; without the match it does less work per node.
  template <bool kFindMatch = true>
  void InsertNode(unsigned r);
  // Takes the string at ring position r out of the tree, if it is there.
  void DeleteNode(unsigned r);

  // The tree node of ring position p, and back: see reversed_.
  static unsigned NodeOf(unsigned p) { return N - 1 - p; }
  static unsigned PositionOf(unsigned node) { return N - 1 - node; }
  // The byte at ring position p.
  std::uint8_t ByteAt(unsigned p) const { return reversed_[F - 1 + NodeOf(p)]; }
  // Stores the byte at ring position p, and its mirror copy when p has one.
  void Store(unsigned p, std::uint8_t byte) {
    reversed_[F - 1 + NodeOf(p)] = byte;
    if (p < F - 1) reversed_[F - 2 - p] = byte;
  }
  // The string of a node, stored backwards: its byte k is at Bytes(node)[-k].
  const std::uint8_t* Bytes(unsigned node) const { return reversed_ + (F - 1) + node; }

  // The ring, stored backwards after F-1 bytes that mirror its first F-1 positions: the
  // byte at ring position p is at reversed_[F-1 + N-1-p], and byte k of the string at p
  // (the byte at position p+k) at reversed_[F-1 + N-1-p-k], where a string that wraps
  // reaches the mirror bytes and is read without masking. Stored this way, the string's
  // bytes 1..8 lie in memory as bytes 8..1, so a little-endian load of those eight bytes
  // gives a number that compares as the bytes do, with no byte swap on the tree walk's
  // chain of loads. The tree nodes are numbered the same way: node N-1-p for ring
  // position p.
  std::uint8_t reversed_[F - 1 + N];
  // The trees: child_[n][0] holds the strings below node n's, child_[n][1] those above
  // or equal. Nodes 0..N-1 are ring positions (above), N is "no node" and N+1..N+256 the
  // roots (one per first byte), whose tree hangs from child_[root][1].
  std::uint16_t child_[N + 257][2];
  std::uint16_t parent_[N + 1];
  unsigned matchPosition_ = 0;
  unsigned matchLength_ = 0;
};

namespace detail {

// The input of an entry with, for every byte, the longest match there (length 0 to 18,
// never past the end) and its ring position.
struct MatchTable {
  std::vector<std::uint8_t> bytes;
  std::vector<std::uint8_t> length;
  std::vector<std::uint16_t> position;
};

// One position's match as it was.
struct TableEntry {
  std::ptrdiff_t at;
  std::uint8_t length;
  std::uint16_t position;
};

// Lengthens the matches of `table` where one 4079 to 4096 bytes back is longer: ring
// slots the tree cannot see but the decoder reads as the bytes written there. Returns
// the entries it changed, as they were.
std::vector<TableEntry> AddFarMatches(MatchTable& table);

// Chooses the tokens for `table` and writes the stream: the cheapest parse with the far
// matches, or the longest-match parse without them (the one Encode makes) when that is
// as small.
template <class Out>
void WriteCheapestParse(MatchTable& table, Out& out);

// The token lengths (1 for a literal) of the cheapest parse, from position 0 on.
std::vector<std::uint8_t> CheapestParse(const MatchTable& table);
// The token lengths of the longest-match parse.
std::vector<std::uint8_t> LongestMatchParse(const MatchTable& table);
// Stream bytes of a parse: each token's bytes and one flag byte per eight tokens.
std::uint64_t StreamLength(const std::vector<std::uint8_t>& tokens);

template <class Out>
void WriteParse(const MatchTable& table, const std::vector<std::uint8_t>& tokens, Out& out) {
  WriteCursor<Out> sink(out);
  std::uint8_t code[1 + 8 * 2];
  unsigned codeLength = 1;
  unsigned count = 0;
  code[0] = 0;
  std::size_t at = 0;
  for (const std::uint8_t length : tokens) {
    if (length == 1) {
      code[0] |= static_cast<std::uint8_t>(1u << count);
      code[codeLength++] = table.bytes[at];
    } else {
      const unsigned position = table.position[at];
      code[codeLength++] = static_cast<std::uint8_t>(position);
      code[codeLength++] = static_cast<std::uint8_t>(((position >> 4) & 0xF0) |
                                                     (length - (kMatchThreshold + 1)));
    }
    at += length;
    if (++count == 8) {
      for (unsigned i = 0; i < codeLength; ++i) sink.Put(code[i]);
      code[0] = 0;
      codeLength = 1;
      count = 0;
    }
  }
  if (codeLength > 1) {
    for (unsigned i = 0; i < codeLength; ++i) sink.Put(code[i]);
  }
}

template <class Out>
void WriteCheapestParse(MatchTable& table, Out& out) {
  const std::vector<std::uint8_t> longest = LongestMatchParse(table);
  const std::vector<TableEntry> nearer = AddFarMatches(table);
  const std::vector<std::uint8_t> cheapest = CheapestParse(table);
  if (StreamLength(cheapest) < StreamLength(longest)) return WriteParse(table, cheapest, out);
  for (const TableEntry& e : nearer) {
    table.length[e.at] = e.length;
    table.position[e.at] = e.position;
  }
  WriteParse(table, longest, out);
}

// Eight bytes read as a little-endian number: for bytes stored backwards, a number that
// compares as the bytes do in their forward order.
inline std::uint64_t LoadLittleEndian64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return __builtin_bswap64(v);
#else
  return v;
#endif
}

// Index of the highest set bit of x, which is not 0, counted from bit 63 down.
inline unsigned LeadingZeros(std::uint64_t x) {
  return static_cast<unsigned>(__builtin_clzll(x));
}

// A string's bytes 1..17 (byte 0 chose its tree), from the string stored backwards (its
// byte k at s[-k]): 1..8 and 9..16 as numbers that compare as the bytes do, and byte 17.
struct Tail {
  explicit Tail(const std::uint8_t* s)
      : first(LoadLittleEndian64(s - 8)), second(LoadLittleEndian64(s - 16)),
        last(s[-static_cast<int>(kMaxMatch - 1)]) {}
  std::uint64_t first;
  std::uint64_t second;
  unsigned last;
};

// `key > other ? above : below`, as a conditional move on the comparison's flags: which
// way a tree walk goes is as good as random, so a branch there would be mispredicted
// half the time, and a move on a flag kept in a register would lengthen the walk's
// chain of dependent loads by the instructions that set and test it.
inline unsigned PickIfGreater(std::uint64_t key, std::uint64_t other, unsigned above,
                              unsigned below) {
#if defined(__GNUC__) && defined(__x86_64__)
  asm("cmpq %[other], %[key]\n\tcmova %[above], %[below]"
      : [below] "+r"(below)
      : [key] "r"(key), [other] "r"(other), [above] "r"(above)
      : "cc");
  return below;
#else
  return key > other ? above : below;
#endif
}

// One step of the walk: compares bytes 1..17 of the key with those of `other`, stored
// backwards as the key's are (byte 0 is equal: both hang below the same root). Returns
// the index of the first difference, or 18 when there is none; sets `above` to 1 when
// the key's byte there is the greater one or the strings are equal, as the byte-by-byte
// comparison would, and `next` to `right` when `above` is 1 and to `left` otherwise.
inline unsigned Step(const Tail& key, const std::uint8_t* other, unsigned left, unsigned right,
                     unsigned& above, unsigned& next) {
  const std::uint64_t first = LoadLittleEndian64(other - 8);
  if (key.first != first) {
    next = PickIfGreater(key.first, first, right, left);
    above = key.first > first;
    return 1 + LeadingZeros(key.first ^ first) / 8;
  }
  const std::uint64_t second = LoadLittleEndian64(other - 16);
  if (key.second != second) {
    next = PickIfGreater(key.second, second, right, left);
    above = key.second > second;
    return 9 + LeadingZeros(key.second ^ second) / 8;
  }
  const unsigned last = other[-static_cast<int>(kMaxMatch - 1)];
  above = key.last >= last;
  next = above ? right : left;
  return key.last != last ? kMaxMatch - 1 : kMaxMatch;
}

}  // namespace detail

template <bool kFindMatch>
inline void LzssEncoder::InsertNode(unsigned position) {
  const unsigned r = NodeOf(position);
  const std::uint8_t* key = Bytes(r);
  const detail::Tail tail(key);
  child_[r][0] = child_[r][1] = kNil;
  unsigned p = N + 1 + key[0];
  unsigned above = 1;
  unsigned next = child_[p][1];
  unsigned bestLength = 0;
  unsigned bestNode = NodeOf(0);
  // The walk is a chain of loads, each waiting for the comparison before it. Both
  // children are loaded while the comparison runs and one is picked from its outcome,
  // so only the key's load and the comparison lie on that chain. The best match so far
  // is kept in locals and updated without a branch: which node improves on it is as
  // good as random.
  while (next != kNil) {
    p = next;
    const unsigned left = child_[p][0];
    const unsigned right = child_[p][1];
    const unsigned i = detail::Step(tail, Bytes(p), left, right, above, next);
    if (kFindMatch) {
      const bool better = i > bestLength;
      bestNode = better ? p : bestNode;
      bestLength = better ? i : bestLength;
    }
    if (i >= F) goto replace;
  }
  child_[p][above] = static_cast<std::uint16_t>(r);
  parent_[r] = static_cast<std::uint16_t>(p);
  if (kFindMatch) {
    matchPosition_ = PositionOf(bestNode);
    matchLength_ = bestLength;
  }
  return;
replace:
  if (kFindMatch) {
    matchPosition_ = PositionOf(bestNode);
    matchLength_ = bestLength;
  }
  // r's string equals p's in all F bytes: r takes p's place in the tree.
  const unsigned up = parent_[p];
  parent_[r] = static_cast<std::uint16_t>(up);
  child_[r][0] = child_[p][0];
  child_[r][1] = child_[p][1];
  parent_[child_[p][0]] = static_cast<std::uint16_t>(r);
  parent_[child_[p][1]] = static_cast<std::uint16_t>(r);
  child_[up][child_[up][1] == p] = static_cast<std::uint16_t>(r);
  parent_[p] = kNil;
}

inline void LzssEncoder::DeleteNode(unsigned position) {
  const unsigned p = NodeOf(position);
  const unsigned up = parent_[p];
  if (up == kNil) return;  // not in the tree
  const unsigned left = child_[p][0];
  const unsigned right = child_[p][1];
  unsigned q;
  if (left == kNil || right == kNil) {
    q = left ^ right ^ kNil;  // the child there is, or no node
  } else {
    // Two children: the largest node of the left subtree takes p's place.
    q = child_[p][0];
    if (child_[q][1] != kNil) {
      do {
        q = child_[q][1];
      } while (child_[q][1] != kNil);
      child_[parent_[q]][1] = child_[q][0];
      parent_[child_[q][0]] = parent_[q];
      child_[q][0] = child_[p][0];
      parent_[child_[p][0]] = static_cast<std::uint16_t>(q);
    }
    child_[q][1] = child_[p][1];
    parent_[child_[p][1]] = static_cast<std::uint16_t>(q);
  }
  parent_[q] = static_cast<std::uint16_t>(up);
  child_[up][child_[up][1] == p] = static_cast<std::uint16_t>(q);
  parent_[p] = kNil;
}

template <class In, class Out>
std::uint64_t LzssEncoder::Encode(In& in, Out& out) {
  Reset();
  ReadCursor<In> source(in);
  WriteCursor<Out> sink(out);
  std::uint8_t code[1 + 8 * 2];  // a group: the flag byte and up to eight tokens
  code[0] = 0;
  unsigned codeLength = 1;
  unsigned mask = 1;

  unsigned s = 0;          // oldest ring position: the next to be overwritten
  unsigned r = N - F;      // the position of the bytes being encoded
  unsigned ahead = 0;      // bytes read but not yet encoded, starting at r
  for (; ahead < F; ++ahead) {
    const int c = source.Get();
    if (c < 0) break;
    Store(r + ahead, static_cast<std::uint8_t>(c));
  }
  if (ahead == 0) return 0;
  std::uint64_t total = ahead;

  for (unsigned i = 1; i <= F; ++i) InsertNode<false>(r - i);
  InsertNode(r);
  do {
    if (matchLength_ > ahead) matchLength_ = ahead;
    if (matchLength_ <= kMatchThreshold) {
      matchLength_ = 1;
      code[0] |= static_cast<std::uint8_t>(mask);
      code[codeLength++] = ByteAt(r);
    } else {
      code[codeLength++] = static_cast<std::uint8_t>(matchPosition_);
      code[codeLength++] = static_cast<std::uint8_t>(((matchPosition_ >> 4) & 0xF0) |
                                                     (matchLength_ - (kMatchThreshold + 1)));
    }
    mask = (mask << 1) & 0xFF;
    if (mask == 0) {
      for (unsigned i = 0; i < codeLength; ++i) sink.Put(code[i]);
      code[0] = 0;
      codeLength = 1;
      mask = 1;
    }
    const unsigned used = matchLength_;
    // Moves on by one byte of input, which replaces the oldest in the ring; false at the
    // end of input.
    auto advance = [&]() {
      const int c = source.Get();
      if (c < 0) return false;
      ++total;
      DeleteNode(s);
      Store(s, static_cast<std::uint8_t>(c));
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      return true;
    };
    // Only the match at the last of these positions is used, for the next token: the
    // others only build the tree.
    unsigned i = 0;
    while (i + 1 < used && advance()) {
      InsertNode<false>(r);
      ++i;
    }
    if (i + 1 == used && advance()) {
      InsertNode<true>(r);
      ++i;
    }
    for (; i < used; ++i) {
      DeleteNode(s);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      if (--ahead != 0) InsertNode(r);
    }
  } while (ahead > 0);
  if (codeLength > 1) {
    for (unsigned i = 0; i < codeLength; ++i) sink.Put(code[i]);
  }
  return total;
}

template <class In, class Out>
std::uint64_t LzssEncoder::EncodeSmallest(In& in, Out& out) {
  // The same reads, inserts and deletes as Encode, one position at a time, recording the
  // longest match at each.
  Reset();
  detail::MatchTable table;
  {
    ReadCursor<In> source(in);
    unsigned s = 0;
    unsigned r = N - F;
    unsigned ahead = 0;
    for (; ahead < F; ++ahead) {
      const int c = source.Get();
      if (c < 0) break;
      Store(r + ahead, static_cast<std::uint8_t>(c));
      table.bytes.push_back(static_cast<std::uint8_t>(c));
    }
    if (ahead == 0) return 0;
    for (unsigned i = 1; i <= F; ++i) InsertNode(r - i);
    InsertNode(r);
    do {
      table.length.push_back(static_cast<std::uint8_t>(matchLength_ > ahead ? ahead : matchLength_));
      table.position.push_back(static_cast<std::uint16_t>(matchPosition_));
      const int c = source.Get();
      DeleteNode(s);
      if (c >= 0) {
        table.bytes.push_back(static_cast<std::uint8_t>(c));
        Store(s, static_cast<std::uint8_t>(c));
        s = (s + 1) & kRingMask;
        r = (r + 1) & kRingMask;
        InsertNode(r);
      } else {
        s = (s + 1) & kRingMask;
        r = (r + 1) & kRingMask;
        if (--ahead != 0) InsertNode(r);
      }
    } while (ahead > 0);
  }
  detail::WriteCheapestParse(table, out);
  return table.bytes.size();
}

}  // namespace archive
