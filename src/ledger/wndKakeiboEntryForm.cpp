// The entry form of the main window: its modes, the kind radios, the popup, showing an
// entry, and the routines that write, change and delete entries.

#include "ledger/wndKakeibo.h"

void wndKakeibo::lsbItem_Change() {}

void wndKakeibo::pbtSinki_Action() {}

void wndKakeibo::pbtSinki_Open() {}

void wndKakeibo::pbtHensyuu_Action() {}

void wndKakeibo::pbtSakujyo_Action() {}

void wndKakeibo::ppmHimoku_Change() {}

void wndKakeibo::pbtTorikesi_Action() {}

void wndKakeibo::pbtNyuryoku_Action() {}

void wndKakeibo::rbtSisyutu_Action() {}

void wndKakeibo::rbtSyunyu_Action() {}

void wndKakeibo::rbtIdou_Action() {}

void wndKakeibo::fillHimokuPopup(const LookupTable<QString> &) {}

void wndKakeibo::KinyuuSinki() {}

void wndKakeibo::KinyuuSinkiSisyutuSyuunyuu() {}

void wndKakeibo::KinyuuSinkiIdou() {}

void wndKakeibo::KinyuuHensyuu() {}

void wndKakeibo::KinyuuHensyuuIdou(int32_t, int32_t, int32_t, int32_t) {}

void wndKakeibo::KinyuuSakujyo() {}

void wndKakeibo::KinyuuSakujyoIdou(int32_t, int32_t, int32_t, int32_t) {}
