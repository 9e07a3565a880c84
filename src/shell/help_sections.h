// The sections of the user guide (docs/guia-do-usuario.md) that the screens open their help at.
//
// Each is the anchor of a section's heading, made as the guide's readers make it too: the
// heading in lower case, punctuation dropped, spaces as hyphens ("Editor: Geral" is
// "editor-geral"). Renaming a heading means renaming its anchor here; the Qt tests check that
// every anchor below names a heading of the guide.
#pragma once

#include <array>
#include <string_view>

namespace lembrete::help_section {

inline constexpr std::string_view kAgenda = "agenda";
inline constexpr std::string_view kViews = "dia-semana-e-mês";
inline constexpr std::string_view kGoToDay = "ir-para-dia";
inline constexpr std::string_view kSearch = "procurar-em-todas-as-datas";
inline constexpr std::string_view kEditorGeneral = "editor-geral";
inline constexpr std::string_view kEditorRepetition = "editor-repetições";
inline constexpr std::string_view kEditorDescription = "editor-descrição";
inline constexpr std::string_view kAlarms = "alarmes";
inline constexpr std::string_view kTransfer = "importar-e-exportar";
inline constexpr std::string_view kPrinting = "impressão";

inline constexpr std::array kAll = {
    kAgenda, kViews,    kGoToDay, kSearch, kEditorGeneral, kEditorRepetition, kEditorDescription,
    kAlarms, kTransfer, kPrinting};

}  // namespace lembrete::help_section
