#pragma once
// The QX-T5200's facts: the codes it answers to, the marks of its memory image and every
// address range the program reads, writes or files. This is the one place they are
// written; the clone files, the clone checks, the controller, the simulated radio, the
// command-line tool, the benchmarks and the fuzz targets take them from here. A second
// model would have a folder of its own beside this one (model/<model>/) with its own facts.
//
// Ranges are pairs of first and last address, both inclusive; lists of them end with the
// pair {1, 0}.

#include "cmcAdrRange.h"

#include <cstdint>

namespace QxRadio {

// ---- codes ----------------------------------------------------------------------------

// Names the language-list overlay.
constexpr const char* ShortName = "QXT5200";
// The model name as the radio writes it in the information block of its identify reply
// (where in the block is the radio's own affair: see imcRadioIdentity).
constexpr const char* ModelName = "QX-T5200";
// Code 1 of every clone frame and a clone file's model code.
constexpr uint32_t ModelCode = 0x7041;
// A clone file's extra code (the model revision the file reader compares).
constexpr uint32_t ExtraCode = 0x0001;
// Code 2 of the program's clone frames.
constexpr uint32_t FrameCode2 = 0x0000;
// Code 2 of the radio's identify reply (the check accepts 0 or 1).
constexpr uint32_t RadioCode2 = 0x0001;
// Map revision of clone files and of the initial file.
constexpr int32_t CloneMapRevision = 2;
// Map revision of repeater-data files.
constexpr int32_t RepeaterMapRevision = 1;

// ---- the image ------------------------------------------------------------------------

// The image: 65,520 bytes, 0x0000..0xFFEF.
constexpr int32_t ImageSize = 0xFFF0;
constexpr int32_t ImageLast = ImageSize - 1;
// The end of the memory map: the start-up self check stops when the image is smaller.
constexpr int32_t MemoryMapEnd = 0xFFF0;
// The identity text, compared when a file is opened and an image read.
constexpr int32_t IdentityAddr = 0x045E;
constexpr int32_t IdentityLen = 6;
constexpr const char* IdentityText = "QM7041";
// The map revision byte and its value in this model's images.
constexpr int32_t MapRevisionAddr = 0x0500;
constexpr uint8_t MapRevision = 2;
// The user's comment, a clone file's comment line.
constexpr int32_t CommentAddr = 0x0502;
constexpr int32_t CommentLen = 16;
// Two bytes set to 0xFF whenever the image is prepared for saving or writing.
constexpr int32_t SaveMarkAddr = 0x8FE5;
// The maker's text, without a terminating zero.
constexpr int32_t MakerTextAddr = 0xAA44;
constexpr int32_t MakerTextLen = 8;
constexpr const char* MakerText = "VEXO Inc";

// ---- address ranges -------------------------------------------------------------------

// The repeater list's part of the image: all that a repeater-data file carries.
constexpr int32_t RepeaterFirst = 0x0000, RepeaterLast = 0x00D6;
// The part of the image that holds the lists and settings (the model parameter "map
// end"): the program's range when no other purpose is named. Not the end of the memory
// map (MemoryMapEnd), which is the whole image.
constexpr int32_t DefaultRangeFirst = 0x0000, DefaultRangeLast = 0xAA5F;
// What a clone write sends outside the maker mode: the default range without its first
// 0x0500 bytes (the identity text among them), which only the maker mode writes.
constexpr int32_t UserWriteFirst = 0x0500, UserWriteLast = 0xAA5F;

// The range lists, one per purpose, each ended by {1, 0}.
// Saving and opening clone files, the initial file, backups: the whole image.
inline constexpr cmcAdrRange WholeImage[] = {{0x0000, ImageLast}, {1, 0}};
// A clone read: the whole image, so that the identity and the maker text come with it.
inline constexpr const cmcAdrRange* CloneRead = WholeImage;
// A clone write outside the maker mode.
inline constexpr cmcAdrRange UserWrite[] = {{UserWriteFirst, UserWriteLast}, {1, 0}};
// A clone write in the maker mode: the whole image.
inline constexpr const cmcAdrRange* MakerWrite = WholeImage;
// Repeater-data files, written and required on reading.
inline constexpr cmcAdrRange RepeaterData[] = {{RepeaterFirst, RepeaterLast}, {1, 0}};
// Any other purpose.
inline constexpr cmcAdrRange DefaultRange[] = {{DefaultRangeFirst, DefaultRangeLast}, {1, 0}};

} // namespace QxRadio
