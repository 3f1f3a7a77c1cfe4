#pragma once
// The vocabulary the catalogue is made from: places, project kinds, scopes, firms, people,
// MasterFormat sections and drawing sheet titles.
#include <QString>
#include <QStringList>
#include <QVector>

namespace brevant::service::words {

struct Place {
    const char* city;
    const char* state;
    const char* zip; // first three digits of the area's ZIP codes
};

struct Section {
    const char* number; // five-digit MasterFormat number
    const char* title;
};

const QVector<Place>& places();
const QVector<Section>& sections();
const QStringList& projectSubjects(); // "Lincoln Elementary School", "Children's Hospital"...
const QStringList& projectWorks();    // "Renovation", "HVAC Replacement"...
const QStringList& scopeSentences();  // first sentences of a scope description
const QStringList& scopeDetails();    // further sentences
const QStringList& firmStems();       // "Keystone", "Harbor"...
const QStringList& firmKinds(const QString& contactType); // "Architects", "Builders"...
const QStringList& firstNames();
const QStringList& lastNames();
const QStringList& streets();
const QStringList& sheetTitles();  // "A-101 FLOOR PLAN - LEVEL 1"...
const QStringList& contactTypes(); // every type code the client knows

} // namespace brevant::service::words
