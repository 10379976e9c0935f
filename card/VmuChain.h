#pragma once

#include <string>

#include "CardFormat.h"

// A file's blocks as the allocation table links them, with the walk's verdict
// (card_format::WalkChain).
using CVmuChain = card_format::FileChain;

// What is wrong with the chain, in the catalogue's words ("its chain runs back
// to its own block 7"): the end of a check's line, and what a refused download
// or replace names in parentheses. Empty for a sound chain.
std::string ChainFaultText(const CVmuChain& chain);
