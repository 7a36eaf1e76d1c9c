#include "BaselineEncoder.h"

#include <cstring>

namespace {

constexpr int N = 4096;
constexpr int F = 18;
constexpr int kThreshold = 2;
constexpr int kNil = N;

struct Tree {
  unsigned char text[N + F - 1];
  int left[N + 1], right[N + 257], parent[N + 1];
  int matchPosition = 0, matchLength = 0;

  void Init() {
    for (int i = N + 1; i <= N + 256; ++i) right[i] = kNil;
    for (int i = 0; i < N; ++i) parent[i] = kNil;
  }

  void Insert(int r) {
    int cmp = 1;
    const unsigned char* key = &text[r];
    int p = N + 1 + key[0];
    right[r] = left[r] = kNil;
    matchLength = 0;
    for (;;) {
      if (cmp >= 0) {
        if (right[p] != kNil) {
          p = right[p];
        } else {
          right[p] = r;
          parent[r] = p;
          return;
        }
      } else {
        if (left[p] != kNil) {
          p = left[p];
        } else {
          left[p] = r;
          parent[r] = p;
          return;
        }
      }
      int i = 1;
      for (; i < F; ++i) {
        cmp = key[i] - text[p + i];
        if (cmp != 0) break;
      }
      if (i > matchLength) {
        matchPosition = p;
        matchLength = i;
        if (i >= F) break;
      }
    }
    parent[r] = parent[p];
    left[r] = left[p];
    right[r] = right[p];
    parent[left[p]] = r;
    parent[right[p]] = r;
    if (right[parent[p]] == p) right[parent[p]] = r; else left[parent[p]] = r;
    parent[p] = kNil;
  }

  void Delete(int p) {
    if (parent[p] == kNil) return;
    int q;
    if (right[p] == kNil) {
      q = left[p];
    } else if (left[p] == kNil) {
      q = right[p];
    } else {
      q = left[p];
      if (right[q] != kNil) {
        do q = right[q]; while (right[q] != kNil);
        right[parent[q]] = left[q];
        parent[left[q]] = parent[q];
        left[q] = left[p];
        parent[left[p]] = q;
      }
      right[q] = right[p];
      parent[right[p]] = q;
    }
    parent[q] = parent[p];
    if (right[parent[p]] == p) right[parent[p]] = q; else left[parent[p]] = q;
    parent[p] = kNil;
  }
};

Tree tree;

}  // namespace

std::uint64_t BaselineEncode(std::FILE* in, std::FILE* out) {
  Tree& t = tree;
  t.Init();
  std::memset(t.text, 0, sizeof t.text);
  unsigned char code[17];
  code[0] = 0;
  int codePtr = 1;
  unsigned mask = 1;
  int s = 0, r = N - F;
  int len = 0;
  int c = 0;
  for (; len < F && (c = std::getc(in)) != EOF; ++len) t.text[r + len] = static_cast<unsigned char>(c);
  if (len == 0) return 0;
  std::uint64_t total = static_cast<std::uint64_t>(len);
  for (int i = 1; i <= F; ++i) t.Insert(r - i);
  t.Insert(r);
  do {
    if (t.matchLength > len) t.matchLength = len;
    if (t.matchLength <= kThreshold) {
      t.matchLength = 1;
      code[0] |= static_cast<unsigned char>(mask);
      code[codePtr++] = t.text[r];
    } else {
      code[codePtr++] = static_cast<unsigned char>(t.matchPosition);
      code[codePtr++] = static_cast<unsigned char>(((t.matchPosition >> 4) & 0xF0) |
                                                   (t.matchLength - (kThreshold + 1)));
    }
    if ((mask <<= 1) == 0x100) {
      for (int i = 0; i < codePtr; ++i) std::putc(code[i], out);
      code[0] = 0;
      codePtr = 1;
      mask = 1;
    }
    const int last = t.matchLength;
    int i = 0;
    for (; i < last && (c = std::getc(in)) != EOF; ++i) {
      t.Delete(s);
      t.text[s] = static_cast<unsigned char>(c);
      if (s < F - 1) t.text[s + N] = static_cast<unsigned char>(c);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      t.Insert(r);
      ++total;
    }
    while (i++ < last) {
      t.Delete(s);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len) t.Insert(r);
    }
  } while (len > 0);
  if (codePtr > 1) {
    for (int i = 0; i < codePtr; ++i) std::putc(code[i], out);
  }
  return total;
}
