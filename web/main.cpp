// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include <emscripten.h>

namespace {
Form1* finestra = nullptr;
}

// The page's events, each run to completion; the page holds them back while a box is open.
extern "C" {
EMSCRIPTEN_KEEPALIVE void Option1_Click(int index)
{
    finestra->Option1_Click(index);
}
EMSCRIPTEN_KEEPALIVE void Option2_Click(int index)
{
    finestra->Option2_Click(index);
}
EMSCRIPTEN_KEEPALIVE void Command1_Click()
{
    finestra->Command1_Click();
}
EMSCRIPTEN_KEEPALIVE void tmrDiscesa_Timer()
{
    finestra->tmrDiscesa_Timer();
}
EMSCRIPTEN_KEEPALIVE void mnprince_Click()
{
    finestra->mnprince_Click();
}
EMSCRIPTEN_KEEPALIVE void Command3_Click()
{
    finestra->Command3_Click();
}
EMSCRIPTEN_KEEPALIVE void mninfo_Click()
{
    finestra->mninfo_Click();
}
EMSCRIPTEN_KEEPALIVE void Image1_Click()
{
    finestra->Image1_Click();
}
EMSCRIPTEN_KEEPALIVE void mnexit_Click()
{
    finestra->mnexit_Click();
}
EMSCRIPTEN_KEEPALIVE void Form_Escape()
{
    finestra->Form_Escape();
}
EMSCRIPTEN_KEEPALIVE void FuocoA(int posto)
{
    finestra->FuocoA(posto);
}
EMSCRIPTEN_KEEPALIVE int Tab(int posto, int avanti)
{
    return finestra->Tab(posto, avanti != 0);
}
}

int main()
{
    // The window lives as long as the page.
    static Form1 form1;
    finestra = &form1;
    return 0;
}
