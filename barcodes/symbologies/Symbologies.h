#pragma once
// Every linear and postal symbology class.

#include "barcodes/symbologies/SymBarcode.h"
#include "barcodes/symbologies/SymCodabar.h"
#include "barcodes/symbologies/SymCode128.h"
#include "barcodes/symbologies/SymCode39.h"
#include "barcodes/symbologies/SymPlessey.h"
#include "barcodes/symbologies/SymPostal.h"
#include "barcodes/symbologies/SymTwoOfFive.h"
#include "barcodes/symbologies/SymUPCEAN.h"
