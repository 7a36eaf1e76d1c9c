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
// slots beyond, and a backward pass over the costs of a literal (one flag bit and a byte,
// 9 bits) and of a match (17 bits) chooses the tokens. Any prefix of 3 bytes or more of a
// match is a match, so the choice includes the stream Encode writes, and the tokens of
// Encode are written wherever the choice gains nothing. It works through the input in a
// window of bounded size (MatchWindow), so that its memory does not grow with the input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "archive/LzssDecoder.h"
#include "archive/MatchWindow.h"

namespace archive {

namespace detail {

// Collects a group (its flag byte and up to eight tokens) and writes it whole.
template <class Out>
class GroupWriter {
 public:
  explicit GroupWriter(Out& out) : sink_(out) {}
  void PutLiteral(std::uint8_t byte) {
    code_[0] |= static_cast<std::uint8_t>(mask_);
    code_[length_++] = byte;
    Next();
  }
  void PutMatch(unsigned position, unsigned length) {
    code_[length_++] = static_cast<std::uint8_t>(position);
    code_[length_++] = static_cast<std::uint8_t>(((position >> 4) & 0xF0) | (length - (kMatchThreshold + 1)));
    Next();
  }
  // Writes the last group, when it has a token: once, after the last token.
  void Finish() {
    if (length_ > 1) Flush();
  }

 private:
  void Next() {
    mask_ = (mask_ << 1) & 0xFF;
    if (mask_ == 0) Flush();
  }
  void Flush() {
    for (unsigned i = 0; i < length_; ++i) sink_.Put(code_[i]);
    code_[0] = 0;
    length_ = 1;
    mask_ = 1;
  }
  WriteCursor<Out> sink_;
  std::uint8_t code_[1 + 8 * 2] = {};
  unsigned length_ = 1;
  unsigned mask_ = 1;
};

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

// The rest of a step of the walk, when bytes 1..8 of the key and of `other` are equal:
// compares bytes 9..17 (`other` stored backwards as the key is). Returns the index of
// the first difference, or 18 when there is none, and sets `next` to `right` when the
// key's byte there is the greater one or the strings are equal, as the byte-by-byte
// comparison would, and to `left` otherwise.
inline unsigned StepOnTail(const Tail& key, const std::uint8_t* other, unsigned left,
                           unsigned right, unsigned& next) {
  const std::uint64_t second = LoadLittleEndian64(other - 16);
  if (key.second != second) {
    next = PickIfGreater(key.second, second, right, left);
    return 9 + LeadingZeros(key.second ^ second) / 8;
  }
  const unsigned last = other[-static_cast<int>(kMaxMatch - 1)];
  next = key.last >= last ? right : left;
  return key.last != last ? kMaxMatch - 1 : kMaxMatch;
}

// The side of `other` a walk sends the key to: 1 (above, or equal) or 0 (below).
inline unsigned KeyIsAbove(const Tail& key, const std::uint8_t* other) {
  const std::uint64_t first = LoadLittleEndian64(other - 8);
  if (key.first != first) return key.first > first;
  const std::uint64_t second = LoadLittleEndian64(other - 16);
  if (key.second != second) return key.second > second;
  return key.last >= other[-static_cast<int>(kMaxMatch - 1)];
}

}  // namespace detail

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
  // Encode's. Holds `window` positions of the input at a time, 8 bytes each (64 MiB for
  // the default one). The tokens are chosen over a window whose last quarter is only
  // looked ahead into: an input that fits in one window gets the smallest stream there
  // is, a longer one may lose a few bits where windows meet.
  static constexpr std::size_t kSmallestWindow = std::size_t{8} << 20;
  template <class In, class Out>
  std::uint64_t EncodeSmallest(In& in, Out& out, std::size_t window = kSmallestWindow);

 private:
  static constexpr unsigned N = kRingSize;
  static constexpr unsigned F = kMaxMatch;
  static constexpr unsigned kNil = N;  // "no node"; the tree roots are N+1..N+256

  // The longest match a string found in the tree: its ring position and length (0 when
  // nothing matched, else 1 to 18).
  struct Match {
    unsigned position = 0;
    unsigned length = 0;
  };
  // The insertion of one string into its tree, step by step: the walk from the root
  // towards the leaf where the string belongs, and the longest match met on the way.
  struct Walk {
    detail::Tail tail;  // the key's bytes 1..17
    unsigned node;      // the key's node
    unsigned p;         // the node last compared, or the root
    unsigned next;      // the node to compare next; kNil once p is a leaf
    unsigned bestLength;
    unsigned bestNode;
  };

  void Reset();
  // Puts the string at ring position r into the tree (a node whose string equals r's in
  // all 18 bytes is replaced by r) and, with kFindMatch, returns the longest match found
  // on the way, the first one met among equally long ones. The walk is the same either
  // way; without the match it does less work per node.
  template <bool kFindMatch>
  Match InsertNode(unsigned r);
  // Inserts the strings at ring positions a and b, whose first bytes differ, so that
  // they go into different trees and neither insertion sees the other: the two walks
  // run side by side, each one's chain of loads filling the other's waits.
  template <bool kFindA, bool kFindB>
  void InsertPair(unsigned a, unsigned b, Match& matchA, Match& matchB);
  Walk StartWalk(unsigned position);
  // Compares the key with the next node and moves on. True when that node's string
  // equals the key in all F bytes: the walk ends there and the key takes its place.
  template <bool kFindMatch>
  bool StepWalk(Walk& walk);
  // Hangs the key below the walk's last node, or puts it in that node's place when the
  // walk ended on an equal string.
  void EndWalk(const Walk& walk, bool equal);
  // Puts node r, whose string equals node p's in all F bytes, in p's place in the tree.
  void TakePlace(unsigned r, unsigned p);
  static Match MatchOf(const Walk& walk) { return {PositionOf(walk.bestNode), walk.bestLength}; }
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
  // The ring position of the node that the last insert took the place of, or N when it
  // hung itself below a node instead.
  unsigned replaced_ = N;
};

inline LzssEncoder::Walk LzssEncoder::StartWalk(unsigned position) {
  const unsigned r = NodeOf(position);
  const std::uint8_t* key = Bytes(r);
  child_[r][0] = child_[r][1] = kNil;
  const unsigned root = N + 1 + key[0];
  return Walk{detail::Tail(key), r, root, child_[root][1], 0, NodeOf(0)};
}

// The walk is a chain of loads, each waiting for the comparison before it. Both children
// are loaded while the comparison runs and one is picked from its outcome, so only the
// load of the node's bytes 1..8 and the comparison lie on that chain; that load takes
// its address straight from the node number, with no arithmetic in between. Which side
// the key went is not kept: only the last step needs it, and EndWalk finds it again.
// The best match so far is updated without a branch: which node improves on it is as
// good as random.
template <bool kFindMatch>
inline bool LzssEncoder::StepWalk(Walk& walk) {
  const std::size_t p = walk.next;
  walk.p = static_cast<unsigned>(p);
  const unsigned left = child_[p][0];
  const unsigned right = child_[p][1];
  const std::uint64_t first = detail::LoadLittleEndian64(reversed_ + (F - 1 - 8) + p);
  unsigned i;
  if (walk.tail.first != first) {
    // Almost always: the strings differ in bytes 1..8, so they are not equal.
    walk.next = detail::PickIfGreater(walk.tail.first, first, right, left);
    if (!kFindMatch) return false;
    i = 1 + detail::LeadingZeros(walk.tail.first ^ first) / 8;
  } else {
    i = detail::StepOnTail(walk.tail, reversed_ + (F - 1) + p, left, right, walk.next);
  }
  if (kFindMatch) {
    const bool better = i > walk.bestLength;
    walk.bestNode = better ? walk.p : walk.bestNode;
    walk.bestLength = better ? i : walk.bestLength;
  }
  return i >= F;
}

inline void LzssEncoder::EndWalk(const Walk& walk, bool equal) {
  const unsigned r = walk.node;
  const unsigned p = walk.p;
  if (!equal) {
    // A root's tree hangs on its "above" side.
    const unsigned above = p > kNil ? 1 : detail::KeyIsAbove(walk.tail, Bytes(p));
    child_[p][above] = static_cast<std::uint16_t>(r);
    parent_[r] = static_cast<std::uint16_t>(p);
    replaced_ = N;
    return;
  }
  TakePlace(r, p);
}

inline void LzssEncoder::TakePlace(unsigned r, unsigned p) {
  replaced_ = PositionOf(p);
  const unsigned up = parent_[p];
  parent_[r] = static_cast<std::uint16_t>(up);
  child_[r][0] = child_[p][0];
  child_[r][1] = child_[p][1];
  parent_[child_[p][0]] = static_cast<std::uint16_t>(r);
  parent_[child_[p][1]] = static_cast<std::uint16_t>(r);
  child_[up][child_[up][1] == p] = static_cast<std::uint16_t>(r);
  parent_[p] = kNil;
}

template <bool kFindMatch>
inline LzssEncoder::Match LzssEncoder::InsertNode(unsigned position) {
  Walk walk = StartWalk(position);
  bool equal = false;
  while (walk.next != kNil) {
    if (StepWalk<kFindMatch>(walk)) {
      equal = true;
      break;
    }
  }
  EndWalk(walk, equal);
  return kFindMatch ? MatchOf(walk) : Match{};
}

template <bool kFindA, bool kFindB>
inline void LzssEncoder::InsertPair(unsigned a, unsigned b, Match& matchA, Match& matchB) {
  Walk walkA = StartWalk(a);
  Walk walkB = StartWalk(b);
  bool equalA = false;
  bool equalB = false;
  // Side by side while both go on, then whichever is left on its own.
  while (walkA.next != kNil && walkB.next != kNil) {
    equalA = StepWalk<kFindA>(walkA);
    equalB = StepWalk<kFindB>(walkB);
    if (equalA | equalB) break;
  }
  if (!equalA) {
    while (walkA.next != kNil) {
      if (StepWalk<kFindA>(walkA)) {
        equalA = true;
        break;
      }
    }
  }
  if (!equalB) {
    while (walkB.next != kNil) {
      if (StepWalk<kFindB>(walkB)) {
        equalB = true;
        break;
      }
    }
  }
  EndWalk(walkA, equalA);
  EndWalk(walkB, equalB);
  if (kFindA) matchA = MatchOf(walkA);
  if (kFindB) matchB = MatchOf(walkB);
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
  detail::GroupWriter<Out> group(out);

  // Input bytes are counted from 0; byte k is at ring position SlotOf(k). The tree goes
  // through the same inserts and deletes whatever the tokens are: for each byte after
  // the first, the oldest string leaves, the next input byte takes its place in the
  // ring, and the string at the next position enters. The tokens only choose at which
  // positions the match is used. So the tree may run a position ahead of the tokens,
  // which lets it insert two strings at once.
  auto SlotOf = [](std::uint64_t k) { return static_cast<unsigned>(k + (N - F)) & kRingMask; };
  std::uint64_t total = 0;  // bytes read
  for (; total < F; ++total) {
    const int c = source.Get();
    if (c < 0) break;
    Store(SlotOf(total), static_cast<std::uint8_t>(c));
  }
  if (total == 0) return 0;
  for (unsigned i = 1; i <= F; ++i) InsertNode<false>(N - F - i);
  Match found[2];  // the matches of the last two positions inserted, by parity
  found[0] = InsertNode<true>(N - F);
  std::uint64_t at = 0;     // the position of the next token
  std::uint64_t front = 0;  // the last position inserted: at, or at + 1
  bool ended = false;       // the input has ended

  // One position on, when the input byte c (not -1) continues a repeat: the last insert
  // took the place of an equal string, and the string after that one is still in the
  // tree and ends in c. Then the string at front + 1 equals it in all F bytes (its
  // first F - 1 bytes are the last ones of both strings that were equal), and takes its
  // place without a walk: a walk would end there, on the one string in the tree equal
  // to it, which is also the longest match. False, with nothing done, otherwise.
  auto advanceInRepeat = [&](int c, auto findMatch) {
    if (replaced_ == N) return false;
    const unsigned oldest = static_cast<unsigned>(front) & kRingMask;
    const unsigned equal = (replaced_ + 1) & kRingMask;
    // (The string about to leave the tree cannot be the one: the node before it left
    // the tree before the last insert, so that insert did not take its place.)
    if (equal == oldest || parent_[NodeOf(equal)] == kNil ||
        ByteAt((equal + F - 1) & kRingMask) != static_cast<unsigned>(c)) {
      return false;
    }
    DeleteNode(oldest);
    Store(oldest, static_cast<std::uint8_t>(c));
    ++total;
    ++front;
    TakePlace(NodeOf(SlotOf(front)), NodeOf(equal));
    if (decltype(findMatch)::value) found[front & 1] = Match{equal, F};
    return true;
  };
  // One position on: the string at front + 1 enters the tree if the input reaches it.
  // The ring position that the next input byte overwrites is front's.
  auto advance = [&](int c, auto findMatch) {
    if (c >= 0 && advanceInRepeat(c, findMatch)) return;
    const unsigned oldest = static_cast<unsigned>(front) & kRingMask;
    DeleteNode(oldest);
    if (c >= 0) {
      Store(oldest, static_cast<std::uint8_t>(c));
      ++total;
    }
    ++front;
    if (front < total) {
      found[front & 1] = InsertNode<decltype(findMatch)::value>(SlotOf(front));
    } else {
      replaced_ = N;
    }
  };
  // Two positions on. While the input lasts, their strings go in side by side when they
  // belong to different trees and the second position's delete does not touch the
  // first one's tree (the only orders in which the two inserts could see each other);
  // otherwise one after the other, as always.
  auto advanceTwo = [&](auto findFirst, auto findSecond) {
    const int c1 = ended ? -1 : source.Get();
    const int c2 = c1 < 0 ? -1 : source.Get();
    if (c2 < 0) {
      ended = true;
      advance(c1, findFirst);
      advance(-1, findSecond);
      return;
    }
    if (advanceInRepeat(c1, findFirst)) {
      advance(c2, findSecond);
      return;
    }
    const unsigned oldest = static_cast<unsigned>(front) & kRingMask;
    const unsigned second = (oldest + 1) & kRingMask;
    const unsigned a = SlotOf(front + 1);
    const unsigned b = SlotOf(front + 2);
    const std::uint8_t tree = ByteAt(a);
    if (tree == ByteAt(b)) {
      advance(c1, findFirst);
      advance(c2, findSecond);
      return;
    }
    // The second delete comes before both inserts, or after both when it is in the
    // first one's tree. There it has to follow the first insert, and it can follow the
    // second, whose tree is another. Its string keeps its place in the tree until then
    // although the byte stored over its first one changes it: the walks compare bytes
    // 1..17 only, the first one being the tree's.
    const bool deleteLater = tree == ByteAt(second);
    DeleteNode(oldest);
    Store(oldest, static_cast<std::uint8_t>(c1));
    if (!deleteLater) DeleteNode(second);
    Store(second, static_cast<std::uint8_t>(c2));
    total += 2;
    front += 2;
    InsertPair<decltype(findFirst)::value, decltype(findSecond)::value>(
        a, b, found[(front - 1) & 1], found[front & 1]);
    if (deleteLater) DeleteNode(second);
  };
  using Find = std::true_type;
  using Skip = std::false_type;

  for (;;) {
    Match match = found[at & 1];
    const std::uint64_t ahead = total - at;
    if (match.length > ahead) match.length = static_cast<unsigned>(ahead);
    if (match.length <= kMatchThreshold) {
      match.length = 1;
      group.PutLiteral(ByteAt(SlotOf(at)));
    } else {
      group.PutMatch(match.position, match.length);
    }
    at += match.length;
    // Only the match at `at` is used: the positions before it only build the tree. When
    // one position is missing, the one after it goes in too, its match found for the
    // case that `at` is a literal.
    while (front + 2 < at) advanceTwo(Skip(), Skip());
    if (front + 2 == at) {
      advanceTwo(Skip(), Find());
    } else if (front + 1 == at) {
      advanceTwo(Find(), Find());
    }
    if (at >= total) break;  // every byte is encoded
  }
  group.Finish();
  return total;
}

template <class In, class Out>
std::uint64_t LzssEncoder::EncodeSmallest(In& in, Out& out, std::size_t window) {
  // The same reads, inserts and deletes as Encode, one position at a time, recording the
  // longest match at each; a full window chooses the tokens of its leading part.
  Reset();
  ReadCursor<In> source(in);
  detail::MatchWindow table(window);
  detail::GroupWriter<Out> group(out);
  unsigned s = 0;
  unsigned r = N - F;
  unsigned ahead = 0;
  for (; ahead < F; ++ahead) {
    const int c = source.Get();
    if (c < 0) break;
    Store(r + ahead, static_cast<std::uint8_t>(c));
    table.AddByte(static_cast<std::uint8_t>(c));
  }
  if (ahead == 0) return 0;
  std::uint64_t total = ahead;
  for (unsigned i = 1; i <= F; ++i) InsertNode<false>(r - i);
  Match match = InsertNode<true>(r);
  for (;;) {
    table.AddPosition(match.length > ahead ? ahead : match.length, match.position);
    const int c = source.Get();
    DeleteNode(s);
    if (c >= 0) {
      table.AddByte(static_cast<std::uint8_t>(c));
      ++total;
      Store(s, static_cast<std::uint8_t>(c));
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      match = InsertNode<true>(r);
    } else {
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      if (--ahead != 0) match = InsertNode<true>(r);
    }
    if (ahead == 0 || table.Full()) {
      const std::size_t chosen = table.Choose(ahead == 0);
      table.Write(chosen, group);
      if (ahead == 0) break;
      table.Drop(chosen);
    }
  }
  group.Finish();
  return total;
}

}  // namespace archive
