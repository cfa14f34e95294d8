#pragma once
// Callback shapes handed to the collections. Items are untyped: a collection never owns what its
// pointers point to, so walking, filtering, ordering and freeing are all delegated to these.

// Called once per item with the caller's context; no result.
using VisitorFn = void (*)(void* item, void* context);
// Answers 1 when the item is selected by the key, else 0.
using FilterFn = int (*)(void* item, void* key);
// Receives the two items themselves; -1, 0 or 1 in ascending order (1: a comes after b).
using CompareFn = int (*)(const void* a, const void* b);
// Frees one item. Collections never hand it a null item.
using DestroyFn = void (*)(void* item);
