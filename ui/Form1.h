// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"
#include "Esperimento.h"
#include "Finestra.h"
#include "Vista.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>

namespace Disposizione {
struct Riga;
}
class Avviso;
class Figura;
class Riquadro;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPushButton;

// The one window: the tank, the two option groups, "OK", the two panels and the menus.
// It forwards every event to the experiment, and offers the experiment the operations on
// its controls.
class Form1 : public QMainWindow, public Vista {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // What the experiment may do to the window.
    void ImpostaVisibile(Immagine img, bool visibile) override;
    void ImpostaTop(Immagine img, float top) override;
    void CaricaBitmap(Immagine img, int id) override;
    void ImpostaCaption(Etichetta lbl, const std::string& testo) override;
    void AbilitaCommand1(bool abilitato) override;
    void AbilitaTimer(bool abilitato) override;
    void Beep() override;
    void MsgBox(const std::string& testo, const std::string& titolo) override;
    void RiproduciSuono(int id) override;
    void MostraPannello(Pannello pannello, bool aperto) override;
    bool Domanda(const std::string& testo, const std::string& titolo) override;
    void Termina() override;

    const Esperimento& esperimento() const { return m_esperimento; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void CreaControlli();
    QWidget* CreaControllo(const Disposizione::Riga& riga, QWidget* contenitore);
    void ImpostaImmagini();
    void CollegaEventi();
    void CreaMenu();
    void ApplicaImpilamento();
    void ApplicaOrdineTab();
    Figura* Picture(Immagine img) const;
    void DaiNomiAccessibili();
    void DaiOrdineDiLettura();
    void ApriPannello(Riquadro* pannello, Figura* freccia);
    void ChiudiPannello(Pannello quale, Riquadro* pannello);
    Posto PostoDi(const QWidget* controllo) const;
    QWidget* Controllo(Posto posto) const;
    void AggiornaNomiAccessibili();

    void Form_Load();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void DopoLaScelta(QButtonGroup* gruppo, bool okPrima);
    void DescriviScelte();
    void EntraNeiMenu();
    void Command1_Click();
    void tmrDiscesa_Timer();
    void mnprince_Click();
    void Command3_Click();
    void mninfo_Click();
    void Image1_Click();
    void mnexit_Click();

    Esperimento m_esperimento;
    Finestra m_finestra;

    Riquadro* Frame1 = nullptr;
    Riquadro* Frame2 = nullptr;
    Riquadro* Frame3 = nullptr;
    Riquadro* Frame4 = nullptr;
    QPushButton* Command1 = nullptr;
    QButtonGroup* Option1 = nullptr;
    QButtonGroup* Option2 = nullptr;
    QLabel* lblPSLiquido = nullptr;
    QLabel* lblPSMateriale = nullptr;
    std::array<Figura*, NumeroImmagini> m_immagini {}; // by Immagine: see Picture()
    Figura* Command3 = nullptr;
    Figura* Image1 = nullptr;
    QTimer tmrDiscesa;
    Avviso* m_avviso = nullptr;
    QPointer<QWidget> m_fuocoNuovo; // the focus, while the event that moved it there lasts
    std::array<QPointer<QAbstractButton>, 2> m_opzioneConFuoco; // in each group, the last
};
