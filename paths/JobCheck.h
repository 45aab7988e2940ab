#pragma once
// The one judge of whether a text is a job the program may act on, before anything is written
// or sent. The reader skips what it does not understand and reads a number too long for it as
// 0, so a text outside the grammar would otherwise become a job that cuts something else.
//
// Glossary: a plot export is what the drawing host's HPGL filter writes ("IN;PA;SP1;PU x,y;PD
// x,y,...;"); a saved job is the cutter's job text: header "CMD:20,H,W,A,B,F;", for a mark job
// (F = 0) the mark line "MD0,0,DY,DX,N;", the body ("IN;PA;SP1;...PU;SP2;...PU;!PG;;", a blank
// cut's body starting at "SP2;") and the trailer "CMD:22,H,W;".

#include "common/Result.h"

#include <QtGlobal>

enum class JobTextKind
{
    PlotExport, // IN, PA, SP, LT, PU and PD, blanks and line breaks between them
    SavedJob    // exactly the pieces the job writer joins; line breaks only after the trailer
};

// Every number the text carries is a 32-bit integer, as the reader reads it and the writer
// writes it: coordinates, page sizes and mark distances in plotter units (1/40 mm).
constexpr qint64 PlotterNumberMin = -2147483648LL;
constexpr qint64 PlotterNumberMax = 2147483647LL;
// The cutter's pens: 1 creases, 2 cuts. An export numbers one pen per outline colour.
constexpr int JobPenMin = 1;
constexpr int JobPenMax = 2;

// Fails with the first fault and where it lies: "at offset N (line L, column C): what", the
// offset counted in bytes from 0, lines and columns from 1. An empty plot export is one (it
// draws nothing); an empty saved job is not.
Result<> checkJobText(const char *data, qint64 size, JobTextKind kind);
