// Every message the program shows, one entry each, in the order the user guide
// lists them:
//   KORVANTIS_MESSAGE(name, text as the user sees it, what the user can do)
// "{...}" in a text marks what the program fills in (Fill in Messages.h); the
// guide shows the words between the braces. A text that no front end ever
// shows (a status code no operation reports, a guard the commands never
// reach) is listed with KORVANTIS_UNSHOWN, which keeps it out of the guide.
// Words the program fills into a message ("3 blocks", what is wrong with a
// chain) are listed with KORVANTIS_PART: they are not messages of their own,
// and the guide shows the message's words between the braces instead. No
// text the user reads is written anywhere else. This file has no include
// guard: Messages.h and Messages.cpp each include it with their own meaning
// of the three macros.

// The link's status codes (the message of each code is the user's text).
KORVANTIS_UNSHOWN(kNoError, "No error.")
KORVANTIS_UNSHOWN(kTransferCancelled, "The transfer was cancelled.")
KORVANTIS_MESSAGE(kTimedOut,
                  "Communications timed out.  There may be a communications problem, or your "
                  "timeout setting may be too low.",
                  "The card did not answer in time. Check that the card is in its cable, that the "
                  "cable is plugged in, that the port address in File > Settings is right and that "
                  "the port can be reached (the status bar says when it cannot). A longer timeout "
                  "helps only on a very slow link.")
KORVANTIS_MESSAGE(kNoPortTimedOut, "{why the port cannot be reached}  {the timeout's message}",
                  "No card can answer while the port cannot be reached, whatever the timeout: the "
                  "first sentence says why. Set the port address in File > Settings (korvantis-cli "
                  "--port) to a port this machine has and may use, or open a card image instead.")
KORVANTIS_MESSAGE(kBadChecksum,
                  "A invalid CRC value was returned.  There may be a communications problem.",
                  "Bytes were garbled on the way. Raise the Delay Factor in File > Settings, use a "
                  "shorter cable, or check the plugs, then try again.")
KORVANTIS_MESSAGE(
    kUnexpectedAnswer,
    "An unexpected value was returned.  There may be a communications problem, or you may be using "
    "an unsupported memory card.",
    "Something answered, but not as the card should: a loose connection, a timing problem (raise "
    "the Delay Factor in File > Settings), or a card Korvantis does not support.")
KORVANTIS_MESSAGE(kWriteLength,
                  "The buffer passed to the CVmuLink::Write () function was not a modulo of 0x80.",
                  "A fault inside Korvantis: nothing was written. Please report what you did.")
KORVANTIS_MESSAGE(kNotStored, "The memory card did not store what was written.  {reason}",
                  "The card image or the port refused a transfer, for the reason given: a full "
                  "disk, a read-only file, a port that went away. The command stopped there and "
                  "wrote nothing more, so every file is whole in its old or its new version; at "
                  "most some blocks are left used that no file names, which Memory Card > Check "
                  "Card... with Repair frees. A restore that stopped so has left the page partly "
                  "written. Correct the cause, press F5 and try again.")
KORVANTIS_MESSAGE(kCacheReadAddress,
                  "An invalid address was passed to the CVmuMemory::Read () function.",
                  "The page's root block points outside the card: the selected page is erased, was "
                  "never formatted, or is damaged. Select another page, restore a backup of this "
                  "one (Memory Card > Restore), or format the card on the console.")
KORVANTIS_MESSAGE(kCacheWriteAddress,
                  "An invalid address was passed to the CVmuMemory::Write () function.",
                  "The page's root block points outside the card, so nothing was written there. "
                  "Restore a backup of the page, or format the card on the console.")
KORVANTIS_MESSAGE(
    kCacheStatus, "An unknown cache status code was found.",
    "A fault inside Korvantis. Refresh the list (F5) and try again; please report what you did.")
KORVANTIS_UNSHOWN(kNotSupported, "The requested function is not supported.")
KORVANTIS_MESSAGE(kUnknownError, "An unknown error occured.",
                  "A fault inside Korvantis. Try again; please report what you did.")

// Reaching the parallel port (the status bar, and the command line's first line).
KORVANTIS_MESSAGE(kStoredPortInvalid,
                  "The stored port address {address} is not a port address (0 to 65535). Correct "
                  "it in the Settings.",
                  "Open File > Settings and choose LPT1, LPT2 or another address from 0 to 65535.")
KORVANTIS_MESSAGE(
    kNoPortKnown,
    "No parallel port is known to the system, so none has the address {address}. Load the "
    "parport_pc and ppdev modules (sudo modprobe parport_pc ppdev) if the computer has a parallel "
    "port.",
    "The kernel drives no parallel port. Load the modules as the message says; a computer without "
    "a parallel port needs a card image instead (File > Open Card Image).")
KORVANTIS_MESSAGE(
    kNoPortAtAddress,
    "No parallel port has the address {address}; the system knows {ports}. Set the port address to "
    "one of these, or load the parport_pc and ppdev modules (sudo modprobe parport_pc ppdev) if "
    "the port is missing.",
    "Choose one of the ports named in File > Settings (Other takes the address in decimal).")
KORVANTIS_MESSAGE(kPortPermission,
                  "Permission denied opening {device}. Add your user to the lp group (sudo adduser "
                  "$USER lp), then log out and in again.",
                  "See Port permissions on Linux above. Do not run Korvantis as root instead.")
KORVANTIS_MESSAGE(kPortNoDevice,
                  "The parallel port at {address} has no device {device} ({reason}). Load the "
                  "ppdev module (sudo modprobe ppdev).",
                  "The port exists but its device file does not: load the ppdev module, then "
                  "confirm File > Settings to try again.")
KORVANTIS_MESSAGE(kPortCannotOpen, "Cannot open {device}: {reason}.",
                  "The system refused the port's device for the reason given. Correct it, then "
                  "confirm File > Settings to try again.")
KORVANTIS_MESSAGE(kPortCannotClaim,
                  "Cannot claim {device}: {reason}. Another program may be using the port; close "
                  "it and try again.",
                  "Close the program that holds the port (a printer queue, for instance), then "
                  "confirm File > Settings to try again.")
KORVANTIS_MESSAGE(kPortRequestFailed, "The system refused a transfer on {device}: {reason}.",
                  "Ends the message of a failed write: the port went away under the program (a "
                  "USB adapter unplugged, the driver unloaded). Plug it back in and start "
                  "Korvantis again.")
KORVANTIS_MESSAGE(kDirectAccessRefused, "Direct port access was refused too: {reason}.",
                  "Follows one of the port messages above when the processor's port instructions "
                  "failed as well. Use the ppdev device as that message says.")

// The file and page commands.
KORVANTIS_MESSAGE(kNotFormatted, "This page of the memory card is not formatted.",
                  "The page holds no file system. Format it on the console, or restore a backup "
                  "to it (Memory Card > Restore).")
KORVANTIS_MESSAGE(
    kCannotRead, "File could not be read.",
    "The chosen file is missing, unreadable, too short, or not a file of the expected kind: a DCI "
    "file for an upload; for a restore, a DCM backup or a card image (.bin, .vmu, .vmd) of one "
    "page "
    "(131,072 bytes) or four (524,288 bytes).")
KORVANTIS_MESSAGE(kCannotReadWhy, "File could not be read. ({reason})",
                  "The system refused the chosen file for the reason in parentheses: it is "
                  "missing, is not a file, or may not be read. Choose another, or correct the "
                  "cause.")
KORVANTIS_MESSAGE(kCannotWrite, "File could not be created, or could not be written to. ({reason})",
                  "The folder is read only, the disk is full, or the name is not allowed; the "
                  "system's reason is in parentheses. Choose another place or name. A file that "
                  "was there keeps its old content.")
KORVANTIS_MESSAGE(kImageCreated, "Created {file} ({N pages}).",
                  "korvantis-cli new-image wrote a card image whose pages are laid out as new "
                  "cards. Open it with File > Open Card Image, or name it after --image.")
KORVANTIS_MESSAGE(kAlreadyExists, "{file} already exists; it is left as it is.",
                  "korvantis-cli new-image never writes over a file. Choose another name, or "
                  "remove the file first.")
KORVANTIS_MESSAGE(kVmiWrongSize, "This is not a VMI file: a VMI file is 108 bytes long.",
                  "Choose the .vmi file that came with the save, or its .vms file with the .vmi "
                  "beside it. Nothing was written to the card.")
KORVANTIS_MESSAGE(kVmiChecksum, "The VMI file is damaged: its checksum is not one a VMI file has.",
                  "Get the save again from where it came from. Nothing was written to the card.")
KORVANTIS_MESSAGE(
    kVmsWrongSize,
    "The file's size, {size} bytes, is not from 1 byte to 200 blocks (102,400 "
    "bytes).",
    "A VMS file holds a card file of 1 to 200 blocks of 512 bytes; its VMI file gives "
    "its size in bytes, and a last block left short is filled up with zero bytes. "
    "The file is damaged or of another kind. Nothing was written to the card.")
KORVANTIS_MESSAGE(kVmsMissing, "The VMS file {file} could not be read: {reason}.",
                  "A VMI file names its VMS file, which must be a file in the same folder under "
                  "that name. Put it there, or rename it as the VMI file says; a folder, a pipe "
                  "or a device of that name is never read. Nothing was written to the card.")
KORVANTIS_MESSAGE(kVmiUnreadable, "The VMI file {file} could not be read: {reason}.",
                  "A VMS file is uploaded with the VMI file of the same name beside it, which "
                  "must be a file; a folder, a pipe or a device of that name is never read. "
                  "Nothing was written to the card.")
KORVANTIS_MESSAGE(kVmsTooShort,
                  "The VMS file {file} is shorter than the {size} bytes its VMI file gives.",
                  "The VMS file is cut short or belongs to another VMI file. Get the pair again. "
                  "Nothing was written to the card.")
KORVANTIS_MESSAGE(
    kVmiUndated, "{file} was uploaded dated now: its VMI file gives no date a file can have.",
    "The VMI file's date is no date, read either as a VMI file holds it or in the "
    "card's own encoding, as some tools wrote it: a month of 0 or over 12, a day of 0 "
    "or over 31, an hour over 23, a minute or a second over 59, or a weekday over 6. "
    "The file was uploaded all the same, with the time of the upload as its date.")
KORVANTIS_MESSAGE(kVmiNameCut,
                  "The VMI file saved with {file} names its VMS file \"{name}\": a VMI file holds "
                  "only 8 characters of the VMS file's name.",
                  "Korvantis uploads a pair by the VMI file's own name, so the pair goes back to a "
                  "card as long as the two files keep their names side by side; other programs may "
                  "look for the VMS file under the name the VMI file gives. Download under a name "
                  "of at most 8 characters before .vms to keep the two in step.")
KORVANTIS_MESSAGE(
    kAskVmsAlone,
    "There is no VMI file beside {file}.  Do you want to upload it as a data file "
    "named \"{name}\"?",
    "Without its VMI file a VMS file has no name on the card and no date: Yes uploads "
    "it as a data file named after the VMS file and dated now; No (the default) "
    "leaves the card as it is. korvantis-cli asks on a terminal; elsewhere the "
    "answer is No unless --replace is given.")
KORVANTIS_MESSAGE(kNoIcon, "The selected file has no icon.",
                  "Its header gives no icon frames, or the file is too short to hold them. "
                  "The list shows such a file with the generic icon.")
KORVANTIS_MESSAGE(kIconFileKind, "An icon can be exported only as a .png or .gif file.",
                  "Give the file name the extension of the format you want: .png for the frames "
                  "side by side, .gif for the animation.")
KORVANTIS_MESSAGE(kPictureUnreadable, "The picture {file} could not be read: {reason}.",
                  "Set Icon makes the card's icon from a PNG, GIF, BMP or JPEG picture; "
                  "korvantis-cli set-icon reads PNG pictures. Choose another picture, or save it "
                  "in one of those formats. Nothing was written to the card.")
KORVANTIS_MESSAGE(kIconDescription,
                  "The description \"{text}\" cannot be shown on the memory card: it takes up to "
                  "16 letters, digits, blanks and punctuation marks, without accents.",
                  "The card's own screen shows plain ASCII only. Shorten the description, or leave "
                  "out the other characters. Nothing was written to the card.")
KORVANTIS_MESSAGE(kDownloadsStopped,
                  "{done} of {count} files were downloaded before the download stopped.",
                  "The message before this one says why. The files already saved stay; download "
                  "the rest once the cause is mended.")
KORVANTIS_MESSAGE(kDownloadKept,
                  "{file} already exists and was kept; its card file was not downloaded.",
                  "A download into a folder replaces a file there only when you answer Yes "
                  "(korvantis-cli: with --force). The other files were still downloaded, and the "
                  "download counts as failed. Move the file away, or download again and replace "
                  "it.")
KORVANTIS_MESSAGE(kDownloadInTheWay,
                  "{file} is a folder, a device, a pipe or a link to nothing; its card file was "
                  "not downloaded.",
                  "A download into a folder writes only files, and never through anything else of "
                  "the card file's name. The other files were still downloaded, and the download "
                  "counts as failed. Move it away, or download into another folder.")
KORVANTIS_MESSAGE(kDownloadNoBlocks, "{file} was not written: its card file holds no blocks.",
                  "The file's directory entry gives it a size of 0 blocks, so there is nothing to "
                  "save. The other files were still downloaded, and the download counts as "
                  "failed.")
KORVANTIS_MESSAGE(kDownloadOntoInput,
                  "{file} leads to the card image or the trace file in use; its card file was "
                  "not downloaded.",
                  "A link of that name in the folder points at a file Korvantis is reading or "
                  "writing, which is never saved over. The other files were still downloaded, and "
                  "the download counts as failed. Remove the link, or download into another "
                  "folder.")
KORVANTIS_MESSAGE(kUploadsStopped,
                  "{done} of {count} files were uploaded before the upload stopped.",
                  "The message before this one says why. The files already on the card stay; "
                  "upload the rest once the cause is mended.")
KORVANTIS_MESSAGE(kAskOverwrite, "{file} already exists.  Do you want to replace it?",
                  "Answer Yes to save the card's file over it, No (the default) to keep it and "
                  "skip this file. korvantis-cli asks on a terminal; elsewhere it replaces only "
                  "with --force.")
KORVANTIS_MESSAGE(kChooseDownloadFolder,
                  "Save the selected files in this folder, as DCI files or as VMS files each "
                  "with its VMI file beside it:",
                  "DCI keeps a card file whole in one file; a VMS file with its VMI is what "
                  "emulators and the console's browsers exchange. OK waits until the field names "
                  "a folder that exists. The folder and the format are offered again next time; "
                  "Cancel saves nothing.")
KORVANTIS_MESSAGE(kNoFolder, "{folder} is not a folder.",
                  "korvantis-cli download --all saves into a folder that exists. Create it first, "
                  "or name another.")
KORVANTIS_MESSAGE(kVmsNotUploaded, "{file} was not uploaded: it has no VMI file beside it.",
                  "Put its .vmi file beside it under the same name, or answer Yes to upload it "
                  "as a data file named after it.")
KORVANTIS_MESSAGE(kBadLayout,
                  "The memory card's root block places its allocation table or directory where no "
                  "card keeps them, so nothing was written to the card.",
                  "The page is damaged. Download what you need from it, then restore a backup of "
                  "the page or format the card on the console.")
KORVANTIS_MESSAGE(
    kDirectoryFull,
    "There is no free directory entry on this memory card, so the file was not uploaded.",
    "Every directory slot is taken, even if blocks are free. Free one on the console, or upload to "
    "another page.")
KORVANTIS_MESSAGE(kNotEnoughSpace,
                  "There is not enough free space on this memory card.  This file requires {N "
                  "blocks}, but {there are only M blocks free} on this memory card.",
                  "The page has fewer free blocks than the file needs (they need not lie "
                  "together). Free some room on the console, or upload to another page.")
KORVANTIS_MESSAGE(
    kNoRoomToReplace,
    "There is not enough free space on this memory card to replace the file, which stays on the "
    "card until its new version is written.  This file requires {N blocks}, but {there are only M "
    "blocks free} on this memory card.",
    "A replacement is written into free blocks, and the old version is freed only once the new one "
    "is whole, so the page needs room for both at once. A game is written so too, then moved to "
    "block 0, where the console runs it. Free some room on the console, or delete the old version "
    "there first.")
KORVANTIS_MESSAGE(kAskReplace,
                  "There is already a file named \"{name}\" on this memory card.  Do you want to "
                  "replace it?",
                  "Answer Yes to replace it with the file you are uploading, No (the default) to "
                  "leave the card as it is: a game would only ever read the first of two files of "
                  "one name. korvantis-cli asks on a terminal; elsewhere it replaces only with "
                  "--replace.")
KORVANTIS_MESSAGE(
    kNotReplaced,
    "The file was not uploaded: there is already a file named \"{name}\" on this memory card.",
    "The answer was No, or korvantis-cli ran without --replace and could not ask. Upload again and "
    "answer Yes (or add --replace) to replace the file.")
KORVANTIS_MESSAGE(kAddReplace,
                  "Add --replace to answer Yes: to replace the file on the card, or to upload a "
                  "VMS file without its VMI file.",
                  "korvantis-cli says this after the message above.")
KORVANTIS_MESSAGE(kReplaceDamaged,
                  "The file \"{name}\" on this memory card cannot be replaced: its blocks on the "
                  "memory card are damaged ({what is wrong}).",
                  "The allocation table does not link the old file's blocks properly, so freeing "
                  "them could destroy other files. Nothing was written. The console's own memory "
                  "card menu may be able to delete the file.")
KORVANTIS_MESSAGE(kNoBlocks, "This file holds no blocks.",
                  "Its directory entry gives it a size of 0 blocks: there is nothing to save, and "
                  "no upload would take such a file back. Nothing was saved.")
KORVANTIS_MESSAGE(kDownloadDamaged,
                  "This file cannot be downloaded: its blocks on the memory card are damaged "
                  "({what is wrong}).",
                  "The allocation table does not link the file's blocks properly: they run in a "
                  "circle, stop too early, go on too long, or lead off the page or into the card's "
                  "own blocks, as the message says. Nothing was saved. Back up the whole page "
                  "(Memory Card > Backup) to keep what is there.")
KORVANTIS_MESSAGE(kNoSuchPage, "There is no page {N}: the memory card has pages 1 to 4.",
                  "Choose a page from 1 to 4.")
KORVANTIS_MESSAGE(kOneBlockFree, "1 block free",
                  "The status bar, and korvantis-cli list after the files, show the page's free "
                  "blocks as the last refresh counted them.")
KORVANTIS_MESSAGE(kBlocksFree, "{N} blocks free",
                  "An upload needs as many free blocks as the file has, wherever they lie.")
KORVANTIS_MESSAGE(kCardChanged,
                  "The memory card has changed since the list was read. Press F5 to read it again.",
                  "The file in the place of the chosen row is no longer the one the row shows: "
                  "the card was swapped, or the page changed, after the list was read or while a "
                  "question was open. Nothing was done. Refresh the list (F5) and choose the file "
                  "again. korvantis-cli says this when the card changes between its reading of "
                  "the files and its work on them.")
KORVANTIS_MESSAGE(kAskRefresh, "To list the files of the selected page, press F5.",
                  "The status bar says this when another page or card image has been selected: "
                  "the list of the one before was cleared, and nothing is read until you ask.")

// The Data Transfer window's title while a command works on the card.
KORVANTIS_MESSAGE(kTitleRefresh, "Refreshing file list...",
                  "The list is being read. Cancel stops there; the files read so far stay listed.")
KORVANTIS_MESSAGE(kTitleDownloadFile, "Downloading file from the memory card...",
                  "The file's blocks are being read. Cancel stops there, and nothing is saved.")
KORVANTIS_MESSAGE(kTitleUploadFile, "Uploading file to the memory card...",
                  "The file's blocks are being written into free blocks. Cancel stops there; the "
                  "blocks written stay free, and the card holds what it held before.")
KORVANTIS_MESSAGE(kTitleMoveGame, "Moving the game to block 0...",
                  "A game's new version, written whole beside its old one, which is now freed, is "
                  "being copied to block 0 up, where the console runs it. This runs to its end "
                  "even if Cancel is pressed. Should the link stop it, the game stays whole where "
                  "it was written: check the card (Memory Card > Check Card... with Repair), then "
                  "upload the game again.")
KORVANTIS_MESSAGE(kTitleBackup, "Downloading data from the memory card...",
                  "The selected page is being read for a backup. Cancel stops there, and nothing "
                  "is saved.")
KORVANTIS_MESSAGE(kTitleRestore, "Uploading data to the memory card...",
                  "The page is being written from the backup. Cancel leaves it partly written; the "
                  "message that follows says how to put it back.")
KORVANTIS_MESSAGE(kTitleReadPage, "Reading the memory card...",
                  "The whole page is being read: for a check, a defragment or a safety copy. "
                  "Cancel stops there, and nothing is written.")
KORVANTIS_MESSAGE(kTitleDefragment, "Defragmenting the memory card...",
                  "The data files' blocks are being moved. Cancel stops there; every file stays "
                  "whole, in its old place or its new one.")
KORVANTIS_MESSAGE(kTitleFormat, "Formatting the memory card...",
                  "The page's directory, allocation table and root block are being written anew. "
                  "Cancel leaves the page partly formatted: format it again, or restore the page "
                  "from its safety copy (Memory Card > Restore).")

// The USB adapter's road to a card (the status codes of the 23000s, and a
// write that stopped at a block).
KORVANTIS_MESSAGE(kAdapterNoReply,
                  "The USB adapter did not answer in time.  The memory card may have been pulled "
                  "out, or the adapter unplugged.",
                  "Every request to the adapter has a deadline, so nothing waits for ever. Check "
                  "that the card sits in its slot, that the controller is in the adapter and that "
                  "the adapter is plugged in, then press F5: the next command reads the card "
                  "again.")
KORVANTIS_MESSAGE(kAdapterFailure,
                  "The USB adapter could not reach the memory card (reason {reason}).",
                  "Reason 4: the card did not answer, so the slot is empty or the card was pulled "
                  "out. Reasons 0 to 3: the adapter could not pass the request to the controller "
                  "port; check that the controller is plugged in and that its port is enabled in "
                  "the adapter's settings. Then press F5 and try again.")
KORVANTIS_MESSAGE(kAdapterRejected,
                  "The USB adapter refused a request it does not understand (answer {answer}).",
                  "The adapter's firmware is older than Korvantis needs, or is not the adapter's "
                  "firmware at all. Update it to 1.2.1 or later and try again.")
KORVANTIS_MESSAGE(kAdapterGarbled,
                  "The USB adapter returned an answer that is not the one asked for.  There may be "
                  "a communications problem, or you may be using an unsupported memory card.",
                  "Something answered, but not as the card should: a card pushed in half-way, a "
                  "loose controller, or a card Korvantis does not support. Re-seat the card, "
                  "press F5 and try again.")
KORVANTIS_MESSAGE(kAdapterTransmitAgain,
                  "The memory card kept asking for the block to be sent again, and did not take "
                  "it.",
                  "The card refused the block at every try: it was busy, or the adapter sent too "
                  "fast for it. Re-seat the card, press F5 and try again.")
KORVANTIS_MESSAGE(kAdapterNotVerified,
                  "The block read back from the memory card differs from what was written.",
                  "The card took the block but did not keep it, at every try. Try again; a card "
                  "that keeps failing so may be worn out: back up its pages while they read.")
KORVANTIS_MESSAGE(kAdapterBlockNotWritten,
                  "Block {block} of the memory card was not written.  {why}",
                  "The command stopped at the block named, which the card may hold partly "
                  "written; the second sentence says why. Correct the cause, press F5 so the card "
                  "is read again, and try again.")

// Card images.
KORVANTIS_MESSAGE(kImageUnknownKind,
                  "{file} is not a card image the simulated card knows: its name must end in .dcm "
                  "(wire order) or .bin, .vmu or .vmd (storage order), in either case.",
                  "Name the image by its kind: .bin and .vmu for images as emulators keep them, "
                  ".vmd for dumps made on the console, .dcm for page backups.")
KORVANTIS_MESSAGE(kImageCannotOpen, "{file} cannot be opened: {reason}.",
                  "The image is missing or is not a file. Choose it again (File > Open Card "
                  "Image).")
KORVANTIS_MESSAGE(kImageSize,
                  "{file} holds {N} bytes; a card image holds 131,072 (one page) or 524,288 (four "
                  "pages).",
                  "The file is no card image, or is cut short. Choose another.")
KORVANTIS_MESSAGE(kImageCannotRead, "{file} could not be read: {reason}.",
                  "The system could not read the image to its end. Copy it somewhere else and "
                  "open the copy.")
KORVANTIS_MESSAGE(kImageCannotWrite, "{file} could not be written: {reason}.",
                  "Ends the message of a failed write: the simulated card refused a change its "
                  "image could not keep, and put back what the image held as far as the disk "
                  "let it. Free some room (or give the file back), then run the command again.")
KORVANTIS_MESSAGE(kImageReadOnly, "The card image {file} is read-only.",
                  "It can be listed, downloaded from and backed up, but not changed. Make the file "
                  "writable, or open a writable copy.")
KORVANTIS_MESSAGE(kImageInUse, "The card image {file} is in use by another program.",
                  "Another Korvantis, or another program, is changing the image. Close it, or wait "
                  "for its command to end, then try again.")
KORVANTIS_MESSAGE(kImageCannotSync, "{file} could not be saved to the disk: {reason}.",
                  "The change may not have reached the disk. Free some room or check the disk, "
                  "then open the image again and check its files.")
KORVANTIS_MESSAGE(kImageOnePage, "This card image holds one page.",
                  "Select page 1, or make an image of four pages (korvantis-cli new-image --pages "
                  "4).")
KORVANTIS_MESSAGE(kImageIsOutput, "{file} is the card image itself; choose another file.",
                  "Nothing is ever saved over the card image in use. Choose another name.")
KORVANTIS_MESSAGE(kTraceIsOutput, "{file} is the trace file in use; choose another file.",
                  "Nothing is ever saved over the wire trace being written. Choose another name.")
KORVANTIS_UNSHOWN(kImageNoRoom, "{file} has no room at page {N}, offset {offset}.")
KORVANTIS_MESSAGE(kImageName,
                  "{file}: a card image is named .dcm (wire order), .bin, .vmu or .vmd (storage "
                  "order).",
                  "korvantis-cli new-image takes the image's kind from its name: end it in .bin, "
                  ".vmu, .vmd or .dcm.")
KORVANTIS_UNSHOWN(kImagePageCount, "{file}: a card image holds one page or four.")
KORVANTIS_MESSAGE(
    kDropNotUnderstood,
    "Drop one card image (.bin, .vmu, .vmd or .dcm) to open it, or DCI, VMS or VMI files to "
    "upload them. Nothing was done.",
    "Drop the files in one of those two ways.")

// Card care: check and repair, delete, format, defragment, safety copies.
KORVANTIS_MESSAGE(kCheckImplausibleFat,
                  "The root block places the allocation table at block {start}, {count} blocks "
                  "long, where no card keeps it.",
                  "The page's layout cannot be trusted, so nothing else was checked. Download what "
                  "you can, then restore a backup of the page or format it.")
KORVANTIS_MESSAGE(kCheckImplausibleDirectory,
                  "The root block places the directory at block {start}, {count} blocks long, "
                  "where no card keeps it.",
                  "The page's layout cannot be trusted, so nothing else was checked. Download what "
                  "you can, then restore a backup of the page or format it.")
KORVANTIS_MESSAGE(kCheckSystemChain,
                  "The allocation table chains system block {block} to {next}, not as the root "
                  "block places it.",
                  "The table no longer matches the page's layout; the console may refuse the "
                  "card. Restore a backup, or copy the files off and format the page.")
KORVANTIS_MESSAGE(kCheckDirectoryChain,
                  "The allocation table chains {chained} of the directory's {count} blocks.",
                  "Another tool wrote this layout. Korvantis reads the entries of the chained "
                  "blocks, and files may lie in the others; the console may see the card "
                  "differently. Copy the files off, format the page and copy them back.")
// What is wrong with a file's allocation chain, in one wording: a line of a
// check names the file before it (kCheckFileFault), and a refused download
// or replace gives it in parentheses.
KORVANTIS_PART(kCheckFileFault, "{file}: {what is wrong}.")
KORVANTIS_MESSAGE(kChainLoops, "its chain runs back to its own block {block}",
                  "The file cannot be read whole. Delete it, or restore a backup of the page.")
KORVANTIS_MESSAGE(kChainEntersSystem, "its chain crosses into system block {block}",
                  "Writing this file would damage the page's layout. Delete it, or restore a "
                  "backup of the page.")
KORVANTIS_MESSAGE(kChainLeavesPage, "its chain leads to block {block}, off the page",
                  "The file cannot be read whole. Delete it, or restore a backup of the page.")
KORVANTIS_MESSAGE(kChainOverFreeBlock,
                  "its chain reaches block {block}, which the allocation table marks free",
                  "The next file written may take that block and damage this one. Copy the file "
                  "off if you can, then delete it.")
KORVANTIS_MESSAGE(kChainSizeDisagrees, "its size says {N blocks}, its chain holds {count}",
                  "The entry's size field is wrong; the file's blocks are whole and kept. Repair "
                  "sets the size to the chain's length when you agree to it.")
KORVANTIS_MESSAGE(kCheckSharedBlock, "{file}: block {block} belongs to another file as well.",
                  "Two files cannot both be whole. Download both, delete the one that is wrong.")
KORVANTIS_MESSAGE(kCheckDuplicateName, "{file}: another entry has the same name.",
                  "Games read only the first file of a name. Delete the one you do not want.")
KORVANTIS_MESSAGE(kCheckUnnamedBlock, "1 block is used but held by no file: {block}.",
                  "The space is lost until it is freed. Memory Card > Check Card... with Repair "
                  "(korvantis-cli check --repair) frees it.")
KORVANTIS_MESSAGE(kCheckUnnamedBlocks, "{N} blocks are used but held by no file: {blocks}.",
                  "The space is lost until it is freed. Memory Card > Check Card... with Repair "
                  "(korvantis-cli check --repair) frees it.")
KORVANTIS_MESSAGE(kCheckWrongChecksum,
                  "{file}: its header checksum is {stored}, but its contents give {computed}.",
                  "The game may call the save damaged, or the contents may be. Repair leaves the "
                  "checksum unless asked: Check Card... asks about each file, korvantis-cli needs "
                  "check --repair --fix-checksums.")
KORVANTIS_MESSAGE(kCheckSound, "The memory card page is sound: no damage was found.",
                  "Nothing needs to be done.")
KORVANTIS_MESSAGE(kCheckDamaged, "The memory card page is damaged:",
                  "Each line below names one fault. Repair mends what it can without guessing; "
                  "the rest needs a backup or the files deleted.")
KORVANTIS_MESSAGE(kRepairCannotMend, "Repair cannot mend this without guessing.",
                  "The damage above is of a kind Repair leaves alone, since mending it would mean "
                  "guessing which file a block or an entry belongs to. Repair is not offered.")
KORVANTIS_MESSAGE(kDamagedFilesStillThere,
                  "The files that are listed can still be downloaded. Back up the page before "
                  "changing anything.",
                  "Download the files you want to keep (File > Download) and back up the page "
                  "(Memory Card > Backup) first; then delete the damaged files, restore an older "
                  "backup, or format the page.")
KORVANTIS_MESSAGE(kAskFixChecksum,
                  "The header checksum of {file} does not match its contents.  Write the checksum "
                  "its contents give?",
                  "Answer Yes if the file's contents are right and only the checksum is stale; No "
                  "(the default) leaves the file as it is.")
KORVANTIS_MESSAGE(kAskFixSize,
                  "The size of {file} says {N blocks}, but its chain holds {count}.  Set the size "
                  "to the chain's length?",
                  "Answer Yes if the file's blocks are what you expect and only the size is wrong; "
                  "No (the default) leaves the entry as it is.")
KORVANTIS_MESSAGE(kAskRepair,
                  "Repair what can be mended without guessing?  A safety copy of the page is "
                  "saved first.",
                  "Answer Yes to free the blocks no file reaches; you are asked about each wrong "
                  "size and each wrong checksum. No (the default) leaves the card as it is.")
KORVANTIS_MESSAGE(kRepairDone, "Repaired: {what}.",
                  "The check that follows shows what is left, if anything.")
KORVANTIS_MESSAGE(kRepairedSound, "The memory card page is sound now.",
                  "Nothing more needs to be done.")
KORVANTIS_MESSAGE(kRepairedDamaged, "What is left of the damage:",
                  "Each line below names a fault the repair left: one you answered No for, or one "
                  "Repair cannot mend.")
KORVANTIS_MESSAGE(kRepairNothing, "Repair found nothing it could mend without guessing.",
                  "What is left needs a backup of the page, or the damaged files deleted.")
KORVANTIS_MESSAGE(kAskDelete,
                  "Delete {files} from the memory card?  This cannot be undone.{protected}",
                  "Answer Yes to delete, No (the default) to keep the files. A copy-protected file "
                  "is one its game does not let the console copy; deleting it loses it for good.")
KORVANTIS_MESSAGE(kDeleteProtected, "  Copy-protected: {names}.",
                  "The end of the question before a delete: these files' games do not let the "
                  "console copy them, so no other copy of them is likely to exist.")
KORVANTIS_MESSAGE(
    kAskFormat, "Erase all data on the memory card?  Every file on the selected page will be lost.",
    "Answer Yes to lay the page out as a new card, No (the default) to keep it. The "
    "other pages are not touched.")
KORVANTIS_MESSAGE(kFormatDone, "The page was formatted: it holds no files now.",
                  "Every block of the page is free for new saves.")
KORVANTIS_MESSAGE(kSafetyCopySaved, "A safety copy of the page was saved as {file}.",
                  "Memory Card > Restore with that file (korvantis-cli restore FILE) puts the page "
                  "back as it was before the command.")
KORVANTIS_MESSAGE(
    kSafetyCopyFailed,
    "No safety copy of the page could be saved in {folder}, so nothing was written to "
    "the card. {reason}",
    "Free some room or make the safety-copies folder writable, then try again. "
    "korvantis-cli --no-safety-copy skips the copy for scripts that keep their own.")
KORVANTIS_MESSAGE(
    kSafetyCopyNoFolder,
    "No safety copy of the page can be saved: this user has no data folder (neither "
    "XDG_DATA_HOME nor HOME is set, and the system knows no home folder), so nothing was written "
    "to the card.",
    "Set HOME, or XDG_DATA_HOME, to a folder you may write, then try again. korvantis-cli "
    "--no-safety-copy skips the copy for scripts that keep their own.")
KORVANTIS_MESSAGE(kSafetyCopiesFolderIs,
                  "No file manager opened the safety copies folder.  It is:\n{folder}",
                  "Select the folder's name in this message and copy it into a file manager or a "
                  "terminal of your own. Memory Card > Restore opens the copies from there too.")
KORVANTIS_MESSAGE(
    kRestoreDone, "The page was restored from {file}.",
    "The file list shows the files the page now holds (korvantis-cli list lists them).")
KORVANTIS_MESSAGE(kRestoreInterrupted,
                  "The restore stopped part-way, so the page is now partly written.  The safety "
                  "copy {file} holds the page as it was: korvantis-cli restore {file}, or Memory "
                  "Card > Restore with that file, puts it back.",
                  "Restore the file again to finish, or put the page back from its safety copy as "
                  "the message says.")
KORVANTIS_MESSAGE(kRestorePartlyWritten,
                  "The restore stopped part-way, so the page is now partly written.",
                  "Restore the file again to finish, or restore another backup of the page. No "
                  "safety copy was saved (--no-safety-copy).")
KORVANTIS_MESSAGE(kAskRestoreUnformatted,
                  "{file} holds no formatted memory card page: the format marker is missing, or "
                  "the layout is one no card keeps.  Write it to the page anyway?",
                  "After such a restore the card shows no files. Answer No (the default) unless "
                  "you know the file holds the page you want; korvantis-cli restore --force "
                  "writes it without asking.")
KORVANTIS_MESSAGE(kChooseRestorePage,
                  "{file} holds four pages.  Which one should be written to the selected page?",
                  "A card image of four pages holds the card's pages in order. Choose one; "
                  "Cancel restores nothing.")
KORVANTIS_MESSAGE(kDefragDone, "The files now lie together; {free}.",
                  "The free space is one run, so the largest file that fits now fits.")
KORVANTIS_MESSAGE(kDefragBeyondRepair, "The memory card page is damaged, so no file was moved.",
                  "Moving files on a damaged page could lose them, and Repair cannot mend what the "
                  "lines below name. Save the files you want to keep, and back up the page.")
KORVANTIS_MESSAGE(kDefragDamaged,
                  "The memory card page is damaged, so no file was moved.  Check the card first.",
                  "Moving files on a damaged page could lose them. Run Memory Card > Check Card... "
                  "(korvantis-cli check --repair), then defragment.")
KORVANTIS_MESSAGE(kDefragNoRoom,
                  "The files cannot be moved without a free block to pass through, so none was "
                  "moved.",
                  "Delete a file, or download one and delete it, then defragment.")
KORVANTIS_MESSAGE(kDefragNeeded,
                  "The game needs blocks 0 to {last}, but data files use some of them.  Defragment "
                  "the memory card first?",
                  "Answer Yes to move the data files up and then upload the game; No (the default) "
                  "uploads nothing.")
KORVANTIS_MESSAGE(kGameNeedsRoom,
                  "The game needs blocks 0 to {last}, but data files use some of them, so it was "
                  "not uploaded.",
                  "The console runs a game only from block 0 up. Defragment the memory card "
                  "(Memory Card > Defragment, or korvantis-cli upload --defrag), then upload it.")
KORVANTIS_MESSAGE(kGameThere, "There is already a game on this memory card.",
                  "A page holds one game. A newer version of the same game (the same file name) "
                  "replaces it once you agree (korvantis-cli: with --replace); for another game, "
                  "delete the game on the card first.")
KORVANTIS_MESSAGE(kGameTooLarge,
                  "The game takes {N blocks}, but a game on this memory card may take at most {M "
                  "blocks}, so it was not uploaded.",
                  "The page's root block says how many blocks a game may take (128 on a card "
                  "formatted by the console), and the console runs no larger game. Nothing was "
                  "written.")
KORVANTIS_MESSAGE(kAddDefrag, "Add --defrag to defragment the page first and then upload the game.",
                  "korvantis-cli moves files only when asked to.")
KORVANTIS_MESSAGE(kAddForce, "Add --force to replace the files that were kept.",
                  "korvantis-cli download --all replaces a file of the same name in the folder "
                  "only when asked to.")
KORVANTIS_MESSAGE(kAddForceRestore,
                  "{file} holds no formatted memory card page; add --force to write it to the "
                  "page anyway.",
                  "korvantis-cli writes a file that holds no formatted page only when asked to: "
                  "the card would show no files after it.")
KORVANTIS_MESSAGE(kAddFromPage,
                  "{file} holds four pages; add --from-page N (1 to 4) to say which one to "
                  "restore.",
                  "korvantis-cli restores one page of a four-page file at a time, to the selected "
                  "page (--page).")
KORVANTIS_MESSAGE(kAddYes, "Add --yes to answer yes without a terminal.",
                  "korvantis-cli asks before it deletes or formats, and before it writes a card "
                  "the computer also sees as a USB drive; a script says --yes.")

// Settings.
KORVANTIS_MESSAGE(kSettingsImageInUse,
                  "A card image is in use: it has no port and no timing, so these settings do "
                  "not apply to it.",
                  "Settings greys the port and the timing while a card image is open. They are "
                  "used again after File > Use Parallel Port.")
KORVANTIS_MESSAGE(kSettingsAdapterInUse,
                  "A card on the USB adapter is in use: the adapter sets its own timing, so these "
                  "settings do not apply to it.",
                  "Settings greys the port and the timing while a card on the USB adapter is in "
                  "use. They are used again after File > Use Parallel Port.")
KORVANTIS_MESSAGE(kEnterWholeNumber, "Enter a positive whole number.",
                  "The field holds something other than decimal digits (a sign, 0x, letters). Type "
                  "the number in decimal: port 0x3BC is 956.")
KORVANTIS_MESSAGE(kEnterPortAddress, "Enter a port address from 0 to 65535.",
                  "Port addresses are 16-bit numbers, entered in decimal.")
KORVANTIS_MESSAGE(kEnterTimeout, "Enter a timeout from 0 to 4294 seconds.",
                  "Longer waits do not fit the link's count of microseconds. The default of 5 "
                  "seconds suits almost everyone.")
KORVANTIS_MESSAGE(
    kEnterDelay, "Enter a whole number from 0 to 4294967295.",
    "The Delay Factor is a number of microseconds; small values (1 to 10) are the useful ones.")

// The command-line tool.
KORVANTIS_MESSAGE(kNoFiles, "No files.",
                  "korvantis-cli list says this when the selected page holds no file.")
KORVANTIS_MESSAGE(kDownloadNeedsFile, "download: give INDEX FILE, or --all DIR",
                  "korvantis-cli download saves one file, named by its directory index, as FILE, "
                  "or every file of the page into the folder DIR.")
KORVANTIS_MESSAGE(
    kNoSuchFile, "There is no file with directory index {index} on this page.",
    "Run korvantis-cli list (add --tsv for the indices) and use a directory index it shows.")
KORVANTIS_MESSAGE(kWouldReplace, "{file} already exists; add --force to replace it.",
                  "Choose another name, or add --force.")
// korvantis-cli and korvantis-linkcheck put the option's name before these
// four ("--port: not a port address: 0x3G8").
KORVANTIS_MESSAGE(kNotAPortAddress, "not a port address: {text}",
                  "Give the port in decimal (888) or in hexadecimal after 0x (0x378).")
KORVANTIS_MESSAGE(kPortTooLarge, "a port address is at most 65535 (0xFFFF): {text}",
                  "Port addresses are 16-bit numbers.")
KORVANTIS_MESSAGE(kNotAWholeNumber, "not a whole number from 0 to {largest}: {text}",
                  "Numbers on the command line are decimal: 010 is ten, 0x10 is refused.")
KORVANTIS_MESSAGE(kOptionFileNameEmpty, "the file name is empty",
                  "--image and --trace name a file: give its name, not an empty text.")
KORVANTIS_MESSAGE(kTraceNotWritten, "The trace file {file} could not be written: {reason}.",
                  "The trace stopped part-way; the card's commands went on. Free some room, or "
                  "name a trace file in a folder you may write to.")
KORVANTIS_MESSAGE(kSettingsFileUnusable,
                  "The settings file {file} cannot be read: {reason}. Korvantis runs on the "
                  "default settings and stores none.",
                  "Something that is not a file stands where the settings belong. Remove it; "
                  "Korvantis then keeps its settings there again.")
KORVANTIS_MESSAGE(kSettingsFileUnreadable, "The settings file {file} cannot be read: {reason}.",
                  "Something that is not a file stands where the settings belong, or it may not "
                  "be read. Remove it, or give --port, --timeout and --delay on the command line.")
KORVANTIS_MESSAGE(kEmptyFileName, "The file name is empty; it names no file.",
                  "Give the name of the file to read or write.")
KORVANTIS_MESSAGE(kNoPortDataLatch,
                  "No parallel port answers at {address}: its data register read {value} after "
                  "{pattern} was written.",
                  "Nothing was driven there. Check the port's address in the system's hardware "
                  "list or the BIOS, and correct it in the Settings or with --port.")
KORVANTIS_MESSAGE(kNoPortControlMoved,
                  "No parallel port answers at {address}: its control register changed from "
                  "{before} to {after} while only the data register was written.",
                  "Nothing was driven there. Check the port's address in the system's hardware "
                  "list or the BIOS, and correct it in the Settings or with --port.")
KORVANTIS_MESSAGE(kCannotWriteTrace, "Cannot write the trace file {file}: {reason}",
                  "The file named after --trace cannot be created. Choose a folder you may write "
                  "to.")
KORVANTIS_MESSAGE(kNoDisplay,
                  "korvantis: there is no display to show the window on. Run it on a desktop, or "
                  "use korvantis-cli for the card's files (korvantis-cli --help).",
                  "The desktop program needs a graphical session. On a machine without one, "
                  "korvantis-cli does the same work.")

// The USB adapters attached to the computer, and their USB connection.
KORVANTIS_MESSAGE(kCardOnePage, "This memory card has one page.",
                  "A card reached through the USB adapter shows the console one page, and "
                  "Korvantis reaches that page only. Leave out --page, or choose page 1.")
KORVANTIS_MESSAGE(kUsbNoCard, "No memory card sits in the controller on the USB adapter.",
                  "Plug the controller into the adapter and the card into one of the controller's "
                  "slots, then try again. korvantis-cli adapters shows what the adapter sees.")
KORVANTIS_MESSAGE(kUsbSeveralCards, "Memory cards sit in slots {slots}, and none was chosen.",
                  "Choose one with --slot (korvantis-cli --usb --slot A1), or take out the cards "
                  "you do not mean.")
KORVANTIS_MESSAGE(kUsbSlotEmpty, "No memory card sits in slot {slot} on the USB adapter.",
                  "korvantis-cli adapters shows which slots hold a card. Slots are named by the "
                  "controller port (A to D) and the slot of the controller (1 or 2).")
KORVANTIS_MESSAGE(kAdapterImageFourPages,
                  "{file} holds four pages, and a card on the simulated adapter holds one.",
                  "Back up the page you want from it (korvantis-cli --image FILE --page N backup "
                  "page.dcm), then give the simulated adapter that file: --usb sim:page.dcm.")
KORVANTIS_MESSAGE(kUsbNotAvailable, "The computer's USB devices cannot be listed: {reason}.",
                  "The system gives programs no access to USB here (a container, or a system "
                  "without USB support). Use a card image, or the parallel port, instead.")
KORVANTIS_MESSAGE(kUsbNoAdapter, "No USB adapter for memory cards is attached.",
                  "Plug the adapter (USB id 1209:2f07) into the computer, with the controller and "
                  "its card plugged into the adapter, and try again. korvantis-cli adapters lists "
                  "the adapters the computer sees.")
KORVANTIS_MESSAGE(kUsbSeveralAdapters,
                  "Several USB adapters are attached ({serials}), and none was named.",
                  "Name the one to use by its serial number: korvantis-cli --usb SERIAL, or choose "
                  "it in File > Use USB Adapter.")
KORVANTIS_MESSAGE(kUsbAdapterNotFound,
                  "No USB adapter with the serial number {serial} is attached.",
                  "korvantis-cli adapters lists the adapters attached and their serial numbers. "
                  "An adapter that was just plugged in, or that restarted after a change of its "
                  "settings, may need a second to appear.")
KORVANTIS_MESSAGE(
    kUsbFirmwareTooOld,
    "The USB adapter {serial} runs firmware {version}; Korvantis needs 1.2.1 or later.",
    "Older firmware lacks the interface Korvantis talks to, or takes one request at "
    "a time only. Update the adapter's firmware, then plug it in again.")
KORVANTIS_MESSAGE(
    kUsbNoPermission,
    "You may not use the USB adapter {serial}: the system gives its device to root "
    "alone.",
    "Install the rule that gives the logged-in user the adapter: copy "
    "70-korvantis-adapter.rules to /etc/udev/rules.d/ (the Korvantis package installs "
    "it for you), run sudo udevadm control --reload and sudo udevadm trigger, then "
    "plug the adapter in again. Never run Korvantis as root instead.")
KORVANTIS_MESSAGE(kUsbAdapterBusy, "Another program is using the USB adapter {serial}.",
                  "An emulator may be using the adapter to reach the same card. Close that program "
                  "(or its use of the adapter), then try again.")
KORVANTIS_MESSAGE(kAskWriteCardSeenAsDrive,
                  "The computer also sees this memory card as a USB drive, and could write it at "
                  "the same time.  Write to the card anyway?",
                  "The adapter's mass storage is switched on: it shows its cards to the computer "
                  "as files on a USB drive. Eject (unmount) that drive first, or switch mass "
                  "storage off in the adapter's settings, then answer Yes. No (the default) "
                  "writes nothing.")
KORVANTIS_MESSAGE(kUsbUnusable, "The USB adapter {serial} could not be used: {reason}.",
                  "Plug the adapter in again and try again. If it keeps failing, restart the "
                  "adapter by unplugging it for a few seconds.")
KORVANTIS_MESSAGE(kUsbNoCardFound, "No memory card sits in a controller on the USB adapters.",
                  "File > Use USB Adapter lists the cards in the controllers plugged into the "
                  "adapters attached. Plug the card into one of the controller's slots, then open "
                  "the menu again.")
KORVANTIS_MESSAGE(kUsbWithOtherCard, "--usb and {option} cannot be given together.",
                  "--usb names the card on the USB adapter; --simulate names a card image "
                  "instead, and --trace and --simulate-wire go through the parallel wire, which "
                  "the adapter does not use. Leave out one of them.")
KORVANTIS_MESSAGE(kSlotNeedsUsb, "--slot names a card on the USB adapter: give it with --usb.",
                  "Without --usb the card is a card image or the one on the parallel port, which "
                  "have no slots. Add --usb, or leave out --slot.")
KORVANTIS_MESSAGE(kNotASlot, "--slot: a slot is A1 to D2, not {text}.",
                  "A slot is named by the controller's port on the adapter (A to D) and the slot "
                  "of the controller (1 or 2). --slot is given with --usb.")
KORVANTIS_MESSAGE(
    kUsbTransferFailed, "The USB connection to the adapter failed: {reason}.",
    "The adapter may have been unplugged, or it restarted. Plug it in again, press F5 "
    "so the card is read again, and try again.")

// Parts: words the program fills into the messages above.
KORVANTIS_PART(kOneBlock, "1 block")
KORVANTIS_PART(kBlocks, "{N} blocks")
KORVANTIS_PART(kNoBlockFree, "there are no blocks free")
KORVANTIS_PART(kOnlyOneBlockFree, "there is only 1 block free")
KORVANTIS_PART(kOnlyBlocksFree, "there are only {M} blocks free")
KORVANTIS_PART(kOnePage, "1 page")
KORVANTIS_PART(kPages, "{N} pages")
KORVANTIS_PART(kSeveralFiles, "{N} files")
KORVANTIS_PART(kKnownPort, "{port} at {address}")
KORVANTIS_PART(kCardOnAdapter, "{slot} on adapter {serial}")
KORVANTIS_PART(kCardOnSimulatedAdapter, "{slot} on the simulated adapter ({file})")
KORVANTIS_PART(kCardNotReachable, "Card not reachable")
KORVANTIS_PART(kRepairFreed, "freed {N blocks}")
KORVANTIS_PART(kRepairOneSize, "corrected 1 size")
KORVANTIS_PART(kRepairSizes, "corrected {N} sizes")
KORVANTIS_PART(kRepairOneChecksum, "wrote 1 checksum")
KORVANTIS_PART(kRepairChecksums, "wrote {N} checksums")
KORVANTIS_PART(kNoFileNameGiven, "no file name was given")
KORVANTIS_PART(kIsFolder, "It is a folder, not a file")
KORVANTIS_PART(kIsPipe, "It is a pipe, not a file")
KORVANTIS_PART(kIsDevice, "It is a device, not a file")
KORVANTIS_PART(kIsSocket, "It is a socket, not a file")
KORVANTIS_PART(kIsNoRegularFile, "It is not a regular file")
KORVANTIS_PART(kChangedWhileOpened, "It changed while it was being opened")
KORVANTIS_PART(kNotWritableKind, "Not a file, a pipe or a character device")
KORVANTIS_PART(kPngNotMade, "the PNG image could not be made")
KORVANTIS_PART(kGifNotMade, "the GIF image could not be made")
KORVANTIS_PART(kPictureNotPng, "it is not a PNG picture, or it is damaged")
KORVANTIS_PART(kPictureTooLarge, "it is larger than {N} pixels a side")
KORVANTIS_PART(kTraceWriteFailed, "the write failed")
