#pragma once

#include <QIcon>
#include <QImage>

#include "CardIcon.h"
#include "FileTexts.h"
#include "IconMaker.h"

// A frame of a file's own icon, 32 x 32, as Qt draws it.
QImage IconFrameImage(const CardIcon& icon, std::size_t frame);
// The first frame of the icon the row's bytes hold, once the whole frame
// has been read (FileTexts::headerBytes, DecodeRowIcon), else the generic
// file icon.
QIcon RowIcon(const FileTexts& row);
// A Qt picture as the icon maker takes it (IconMaker.h).
RgbaPicture PictureOf(const QImage& image);
