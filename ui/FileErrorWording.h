#pragma once
// Why a file could not be read or written, in the window's language: English
// as the command-line tool says it, Chinese from the failure's kind and
// details. Every part of the window that reads or saves a user's file words
// its failure here.
#include <QString>

#include "image/DataFileError.h"

QString FileErrorText(const DataFileError& error);
