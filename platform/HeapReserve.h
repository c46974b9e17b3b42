#pragma once
// Room for many blocks that a caller is about to allocate and keep (an inventory's tree lists):
// the process heap grows for them in one step, in large pages where the system offers them, so
// that filling them does not stop at every small page the first time it is written. From then on
// the heap keeps that much free room when blocks are released, so that a later caller of the same
// size finds its pages in place. Only a hint: where the heap cannot be grown this way (another
// allocator, as in sanitizer builds) allocation goes on as before. Any thread may call it.

#include <cstddef>

void WoxReserveHeap(size_t nBytes);
