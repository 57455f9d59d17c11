// MergeSort: the stable natural merge sort behind every item list. One
// template serves every element and context type; the comparator always gets
// the context first.
#pragma once

#include <windows.h>
#include <new>

// Sorts count elements so that compare(context, a, b) <= 0 for neighbours;
// equal elements keep their order. Returns the number of passes made, 0 for
// fewer than two elements, -1 when the scratch array cannot be allocated (the
// array is then untouched). A comparator that is no consistent order stops
// after count + 100 passes, leaving one of the last two passes' results.
template <class T, class Context, class Compare>
int MergeSort(T* items, int count, Context context, Compare compare) {
  if (!items || count < 2) return 0;
  T* scratch = new (std::nothrow) T[count];
  if (!scratch) return -1;
  T* source = items;
  T* target = scratch;
  int passes = 0;
  while (passes < count + 100) {
    ++passes;
    bool whole = false;
    int i = 0;
    while (i < count) {
      int first = i;
      int middle = i + 1;
      while (middle < count && compare(context, source[middle - 1], source[middle]) <= 0) ++middle;
      if (middle >= count) {
        for (int k = first; k < count; ++k) target[k] = source[k];
        whole = first == 0;
        break;
      }
      int end = middle + 1;
      while (end < count && compare(context, source[end - 1], source[end]) <= 0) ++end;
      int left = first, right = middle, out = first;
      while (left < middle && right < end) {
        // The right element goes first only when strictly smaller: stability.
        if (compare(context, source[left], source[right]) > 0)
          target[out++] = source[right++];
        else
          target[out++] = source[left++];
      }
      while (left < middle) target[out++] = source[left++];
      while (right < end) target[out++] = source[right++];
      if (first == 0 && end == count) whole = true;
      i = end;
    }
    if (whole) {
      if (target != items)
        for (int k = 0; k < count; ++k) items[k] = target[k];
      break;
    }
    T* swap = source;
    source = target;
    target = swap;
  }
  delete[] scratch;
  return passes;
}
