#include "editor_fixture.h"

#include "data/reminder_record.h"

namespace lembrete::testing {

void EditorFixture::SetUp() {
    AgendaServerTest::SetUp();
    host_.SetNow(DateTime::fromParts({2007, 7, 16}, 10, 30));
    unit_ = std::make_unique<EditorUnit>(*module_);
    agenda_ = &OpenAgenda();
    host_.TakeCalls();
}

bool EditorFixture::edit(const std::string& number,
                         const std::function<void(TfrmManutAFazer&)>& user, bool refresh) {
    bool openAtEnd = false;
    host_.OnModal("frmManutAFazer", [&](TForm& form) {
        auto& editor = dynamic_cast<TfrmManutAFazer&>(form);
        user(editor);
        openAtEnd = editor.Visible();
    });
    module_->CriaManutAFazer(number, refresh);
    return openAtEnd;
}

std::vector<std::string> EditorFixture::storedRows() {
    const DataPacket packet = storedPacket();
    std::vector<std::string> lines;
    for (const Row& row : packet.rows) {
        std::string line;
        for (std::string_view field : {ReminderRecord::DTATIVPESS, ReminderRecord::DSREFEATPESS,
                                       ReminderRecord::IDSITUATPESS, ReminderRecord::IDALARATPESS,
                                       ReminderRecord::QTSEGUATPESS, ReminderRecord::IDUNITATPESS,
                                       ReminderRecord::NRPRIOATPESS}) {
            const Variant& value = row[packet.fieldIndex(field)];
            const std::string text = value.kind() == VariantKind::DateTime
                                         ? value.asDateTime().format()
                                         : value.toText();
            line += (line.empty() ? "" : "|") + text;
        }
        lines.push_back(line);
    }
    return lines;
}

std::string EditorFixture::storedDescription(const std::string& number) {
    const auto result = direct_->call("GetDescAFazer", {kOperator, number});
    EXPECT_TRUE(result.ok());
    if (!result.ok() || result.payload.asPacket().rows.empty()) {
        return "<none>";
    }
    const auto& packet = result.payload.asPacket();
    EXPECT_EQ(packet.rows.size(), 1u) << "more than one description for " << number;
    return packet.rows[0][packet.fieldIndex(DescriptionRecord::TXATIVPESS)].toText();
}

std::string EditorFixture::seedReminder(const std::string& reference, DateTime when,
                                        const std::string& alarm, Variant lead,
                                        const std::string& unit, const std::string* description) {
    const std::string number = Seed(
        ReminderValues(kOperator, "", reference, when, "P", alarm, std::move(lead), unit, "7"));
    if (description != nullptr) {
        SeedDescription(number, *description);
    }
    return number;
}

std::vector<std::string> EditorFixture::serverCallsSince() {
    std::vector<std::string> names;
    for (const std::string& call : TakeCalls({"Get", "get", "Set", "set"})) {
        names.push_back(call.substr(0, call.find('(')));
    }
    return names;
}

}  // namespace lembrete::testing
