// Alternate keys switched on and off per file abbreviation: an active key is offered as a
// sort order and kept as an index of the data files. The choice is the company's, kept in
// its control file altkeys.json:
//   { "QVI": { "2": false, "3": true } }
// A key the file does not name is active, so a dictionary's alternate keys are available
// until someone switches them off. Key 0 (the primary key) is always active. A file that
// is not JSON, or holds a value of the wrong type, is malformed: it is logged (naming the
// file and the place), reads as every key active, and is never overwritten.
//
// The control file can be opened for a while (an options page does): reads and
// activations then go to the most recently opened handle, and activations wait there
// until xc_wr_control_file writes them. Without an open control file every read looks at
// the file as it is now, and every activation is written at once.
#pragma once

// 1 when key of abbrev is active, 0 when it is not (or for a negative key).
short xc_alt_key_active(const char* abbrev, short key);
// Switch a key on or off. 0 done, else a status (kwStatus.h).
short xc_activate_alt_key(const char* abbrev, short key);
short xc_deactivate_alt_key(const char* abbrev, short key);

// Opens the control file: mode 1 read and write, 0 read only. Answers a positive handle,
// or a negative status when it cannot be opened (no company, a malformed file).
short xc_open_control_file(short mode);
// Reads the file again; activations not yet written stay on top. 0 done, else a status.
short xc_rd_control_file(short handle);
// Writes the handle's activations into the file as it is now, so another workstation's
// changes to other keys survive. 0 done, else a status.
short xc_wr_control_file(short handle);
// Closes the handle; activations not written are dropped. 0 done, else a status.
short xc_cls_control_file(short handle);
