#pragma once

// What each command does to the card, for both front ends. A command that
// changes the card is refused on a card image opened for reading only, and
// holds an image alone while it runs; every other command only reads the
// card. The ids are those of CommandIds.h.
bool ChangesCard(int id);
// Whether the command saves a safety copy of the page before it writes.
bool TakesSafetyCopy(int id);
