#pragma once
// The progress window, which also owns the extraction: ExtractArchive reads the payload
// archive entry by entry, writes each file below the install folder and shows the file
// just written and how much of the archive has been consumed.
#include "base/Text.h"
#include "archive/ByteStreams.h"
#include "archive/LzssDecoder.h"
#include "archive/ProgressScale.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

class TCompressForm : public TForm {
 public:
  TCompressForm();

  TProgressBar FileBar;
  TProgressBar AllBar;
  TLabel Label1;
  TLabel Label2;
  archive::RingBuffer RingBuffer = {};
  archive::FileReader ArchiveFile;
  archive::FileWriter OutFile;
  // AllBar's units: bytes, or a power of two of them for an archive of 2 GiB or more.
  archive::ProgressScale AllBarScale{0};

  // Extracts every entry of the archive file into `folder`; returns the number of files
  // written, or 0 when the archive cannot be opened, holds no entry, a folder cannot be
  // created, or an entry cannot be written whole and safely inside the folder. Safely:
  // a link met in the folder or in a folder an entry walks through is refused, an
  // existing file of an entry's name is removed and made new, never written through,
  // and every folder and file is made by name in its held parent, inside the folder's
  // real path whatever changes on the way meanwhile.
  int ExtractArchive(const Text& archivePath, const Text& folder);
  // The same, reading the archive through `archive`, an open handle of the file that
  // the caller keeps: what is extracted is that file, whatever its name leads to by now.
  int ExtractArchive(HANDLE archive, const Text& folder);
  // Decodes one entry from ArchiveFile into OutFile.
  archive::DecodeStatus DecodeEntry(std::uint32_t size);

 protected:
  // After each file: the bar moves to the archive offset and the window is repainted.
  virtual void EntryWritten();

 private:
  // Extracts from ArchiveFile, once it is open.
  int ExtractOpenArchive(const Text& folder);
};

extern TCompressForm* CompressForm;
