// Every text a person reads, in German and English, under one key.
//
// The texts live in the area files under text/catalogue/ (one per part of
// the program, so that each part finds its own), each entry written as
//   LORVANT_TEXT(Key, "German", "English")
// Keys are named by meaning. A text with several lines is written with its
// CR LF inside the literal. A text that takes numbers or names is split
// into keyed pieces around them; the pieces keep their blanks.
#pragma once

#include <cstddef>

#include "engine/common.h"
#include "text/bilingual.h"

namespace lorvant {

// Qt's moc reads the headers of a window (and its tests) but cannot read the
// area files; it needs no key.
#ifndef Q_MOC_RUN
enum class Text : unsigned short {
#define LORVANT_TEXT(key, german, english) key,
#include "text/catalogue/all.inc"
#undef LORVANT_TEXT
};
#else
enum class Text : unsigned short;
#endif

// The one lookup: the text under key in lang.
const char* say(Language lang, Text key);

// Both languages of key, for a text a window shows again after a switch.
BothLanguages both(Text key);

// How many texts the catalogue holds, and the key at a position, so that
// tests can walk all of them.
std::size_t CatalogueSize();
Text CatalogueKey(std::size_t position);
const char* CatalogueKeyName(Text key);

}  // namespace lorvant
