#pragma once
// A look at a WAV file before libmikmod gets it. libmikmod's WAV loader trusts
// the sizes in the file: a file cut short inside its sample data loads into a
// damaged sample that crashes when it is freed. Only complete files of the
// kind the loader handles (PCM, mono, 8 or 16 bits) pass.

// True when `path` is a whole mono 8- or 16-bit PCM WAV file whose sample
// data lies entirely inside the file.
bool isCompleteMonoWav(const char* path);
