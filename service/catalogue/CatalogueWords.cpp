#include "service/catalogue/CatalogueWords.h"

namespace brevant::service::words {

const QVector<Place>& places() {
    static const QVector<Place> list = {
        {"Albany", "NY", "122"},      {"Allentown", "PA", "181"},    {"Akron", "OH", "443"},
        {"Ann Arbor", "MI", "481"},   {"Asheville", "NC", "288"},    {"Augusta", "GA", "309"},
        {"Baton Rouge", "LA", "708"}, {"Billings", "MT", "591"},     {"Boise", "ID", "837"},
        {"Burlington", "VT", "054"},  {"Cedar Rapids", "IA", "524"}, {"Charleston", "SC", "294"},
        {"Chattanooga", "TN", "374"}, {"Cheyenne", "WY", "820"},     {"Columbia", "MO", "652"},
        {"Dayton", "OH", "454"},      {"Des Moines", "IA", "503"},   {"Duluth", "MN", "558"},
        {"Durham", "NC", "277"},      {"El Paso", "TX", "799"},      {"Erie", "PA", "165"},
        {"Eugene", "OR", "974"},      {"Fargo", "ND", "581"},        {"Flagstaff", "AZ", "860"},
        {"Fort Wayne", "IN", "468"},  {"Fresno", "CA", "937"},       {"Grand Rapids", "MI", "495"},
        {"Green Bay", "WI", "543"},   {"Greenville", "SC", "296"},   {"Harrisburg", "PA", "171"},
        {"Hartford", "CT", "061"},    {"Huntsville", "AL", "358"},   {"Jackson", "MS", "392"},
        {"Knoxville", "TN", "379"},   {"Lafayette", "LA", "705"},    {"Lansing", "MI", "489"},
        {"Lexington", "KY", "405"},   {"Lincoln", "NE", "685"},      {"Little Rock", "AR", "722"},
        {"Lubbock", "TX", "794"},     {"Madison", "WI", "537"},      {"Manchester", "NH", "031"},
        {"Mobile", "AL", "366"},      {"Montgomery", "AL", "361"},   {"Norfolk", "VA", "235"},
        {"Ogden", "UT", "844"},       {"Olympia", "WA", "985"},      {"Omaha", "NE", "681"},
        {"Pensacola", "FL", "325"},   {"Peoria", "IL", "616"},       {"Portland", "ME", "041"},
        {"Providence", "RI", "029"},  {"Pueblo", "CO", "810"},       {"Raleigh", "NC", "276"},
        {"Reno", "NV", "895"},        {"Roanoke", "VA", "240"},      {"Rochester", "MN", "559"},
        {"Salem", "OR", "973"},       {"Santa Fe", "NM", "875"},     {"Savannah", "GA", "314"},
        {"Scranton", "PA", "185"},    {"Sioux Falls", "SD", "571"},  {"Spokane", "WA", "992"},
        {"Springfield", "IL", "627"}, {"Syracuse", "NY", "132"},     {"Tallahassee", "FL", "323"},
        {"Toledo", "OH", "436"},      {"Topeka", "KS", "666"},       {"Tucson", "AZ", "857"},
        {"Tulsa", "OK", "741"},       {"Wichita", "KS", "672"},      {"Wilmington", "DE", "198"},
        {"Worcester", "MA", "016"},   {"Yakima", "WA", "989"},
    };
    return list;
}

const QVector<Section>& sections() {
    static const QVector<Section> list = {
        {"01010", "Summary of Work"},
        {"01025", "Measurement and Payment"},
        {"01040", "Project Coordination"},
        {"01300", "Submittals"},
        {"01400", "Quality Control"},
        {"01500", "Temporary Facilities and Controls"},
        {"01700", "Contract Closeout"},
        {"02050", "Demolition"},
        {"02100", "Site Preparation"},
        {"02200", "Earthwork"},
        {"02270", "Erosion and Sedimentation Control"},
        {"02500", "Paving and Surfacing"},
        {"02510", "Water Distribution"},
        {"02530", "Sanitary Sewerage"},
        {"02630", "Storm Drainage"},
        {"02800", "Site Improvements"},
        {"02900", "Landscaping"},
        {"03100", "Concrete Formwork"},
        {"03200", "Concrete Reinforcement"},
        {"03300", "Cast-in-Place Concrete"},
        {"03400", "Precast Concrete"},
        {"04100", "Mortar and Masonry Grout"},
        {"04200", "Unit Masonry"},
        {"04400", "Stone"},
        {"05120", "Structural Steel"},
        {"05210", "Steel Joists"},
        {"05310", "Steel Deck"},
        {"05400", "Cold-Formed Metal Framing"},
        {"05500", "Metal Fabrications"},
        {"05520", "Handrails and Railings"},
        {"06100", "Rough Carpentry"},
        {"06200", "Finish Carpentry"},
        {"06400", "Architectural Woodwork"},
        {"07100", "Waterproofing"},
        {"07210", "Building Insulation"},
        {"07410", "Metal Roof and Wall Panels"},
        {"07500", "Membrane Roofing"},
        {"07600", "Flashing and Sheet Metal"},
        {"07900", "Joint Sealers"},
        {"08110", "Steel Doors and Frames"},
        {"08210", "Wood Doors"},
        {"08330", "Coiling Doors"},
        {"08410", "Aluminum Entrances and Storefronts"},
        {"08520", "Aluminum Windows"},
        {"08710", "Door Hardware"},
        {"08800", "Glazing"},
        {"09250", "Gypsum Board"},
        {"09300", "Tile"},
        {"09510", "Acoustical Ceilings"},
        {"09650", "Resilient Flooring"},
        {"09680", "Carpet"},
        {"09900", "Painting"},
        {"10100", "Visual Display Boards"},
        {"10155", "Toilet Compartments"},
        {"10400", "Identifying Devices"},
        {"10500", "Lockers"},
        {"10800", "Toilet and Bath Accessories"},
        {"11400", "Food Service Equipment"},
        {"12490", "Window Treatment"},
        {"13850", "Fire Alarm"},
        {"14200", "Elevators"},
        {"15050", "Basic Mechanical Materials and Methods"},
        {"15300", "Fire Protection"},
        {"15400", "Plumbing"},
        {"15500", "Heat-Generation Equipment"},
        {"15700", "Heating, Ventilating, and Air Conditioning"},
        {"15800", "Air Distribution"},
        {"15900", "HVAC Instrumentation and Controls"},
        {"16050", "Basic Electrical Materials and Methods"},
        {"16100", "Wiring Methods"},
        {"16400", "Low-Voltage Distribution"},
        {"16500", "Lighting"},
        {"16700", "Communications"},
    };
    return list;
}

const QStringList& projectSubjects() {
    static const QStringList list = {
        "Lincoln Elementary School",
        "Washington Middle School",
        "Riverside High School",
        "Children's Hospital",
        "County Courthouse",
        "City Hall",
        "Public Library",
        "Fire Station No. 4",
        "Police Headquarters",
        "Water Treatment Plant",
        "Wastewater Treatment Plant",
        "Municipal Airport Terminal",
        "Community Center",
        "Senior Center",
        "Veterans' Memorial Park",
        "Regional Medical Center",
        "State University Science Building",
        "Community College Library",
        "Transit Center",
        "Public Works Garage",
        "Recreation Center",
        "Armory",
        "County Jail",
        "Juvenile Justice Center",
        "Main Street Bridge",
        "Route 9 Corridor",
        "Harbor Pier 3",
        "Convention Center",
        "Performing Arts Center",
        "Animal Shelter",
        "Head Start Center",
        "Aquatic Center",
        "Maintenance Facility",
        "Visitor Center",
        "Emergency Operations Center",
        "Stadium",
        "Housing Authority Apartments",
        "Family Health Clinic",
        "Water Tower",
        "Pump Station No. 2",
        "St. Mary's Hospital",
        "Governor's Mansion",
        "Women's Resource Center",
        "King's Highway Bridge",
        "Farmers' Market Pavilion",
    };
    return list;
}

const QStringList& projectWorks() {
    static const QStringList list = {
        "Renovation",         "Addition",           "New Construction",  "HVAC Replacement",
        "Roof Replacement",   "Window Replacement", "ADA Improvements",  "Expansion",
        "Electrical Upgrade", "Parking Lot Paving", "Interior Finishes", "Site Improvements",
        "Restroom Upgrades",  "Fire Alarm Upgrade", "Demolition",        "Seismic Retrofit",
    };
    return list;
}

const QStringList& scopeSentences() {
    static const QStringList list = {
        "Work consists of the furnishing of all labor, materials and equipment for the %1.",
        "The project includes the %1 as shown on the drawings and described in the "
        "specifications.",
        "Contractor shall provide the %1, complete and operational.",
        "Single prime contract for the %1, including all related site work.",
        "Multiple prime contracts (general, mechanical, electrical, plumbing) for the %1.",
    };
    return list;
}

const QStringList& scopeDetails() {
    static const QStringList list = {
        "Work includes selective demolition and removal of existing finishes.",
        "Includes new rooftop units, ductwork and direct digital controls.",
        "Approximately 42,000 square feet of two-story masonry construction.",
        "Building will remain occupied during construction; phasing is required.",
        "Includes asphalt paving, concrete curbs, sidewalks and pavement markings.",
        "Site utilities include water, sanitary sewer and storm drainage.",
        "Prevailing wage rates apply.",
        "Liquidated damages of $500 per calendar day.",
        "Work must be substantially complete within 240 calendar days.",
        "Alternates include a standing seam metal roof and additional parking.",
        "Owner will furnish furniture and fixed equipment; contractor will install.",
        "Minority and women business enterprise participation goals apply.",
        "Asbestos abatement is under separate contract.",
        "Includes a pre-engineered metal building of 12,000 square feet.",
    };
    return list;
}

const QStringList& firmStems() {
    static const QStringList list = {
        "Keystone",     "Harbor",     "Summit",        "Pioneer",   "Granite",    "Blue Ridge",
        "Cornerstone",  "Lakeside",   "Prairie",       "Meridian",  "Beacon",     "Ironwood",
        "Northstar",    "Clearwater", "Redstone",      "Heritage",  "Tri-County", "Allied",
        "Great Plains", "O'Malley",   "Benson & Hale", "Whitfield", "Cascade",    "Sterling",
        "Frontier",     "Capitol",
    };
    return list;
}

const QStringList& firmKinds(const QString& contactType) {
    static const QStringList architects = {"Architects", "Architecture Group", "Design Partners",
                                           "Associates Architects"};
    static const QStringList engineers = {"Engineering", "Consulting Engineers", "Engineers, Inc.",
                                          "MEP Engineers"};
    static const QStringList owners = {"County Board of Education", "City Council",
                                       "Public Works Department",   "Housing Authority",
                                       "School District",           "Regional Hospital Authority"};
    static const QStringList generals = {"Construction Co.", "Builders, Inc.", "Contractors",
                                         "General Contracting"};
    static const QStringList managers = {"Construction Management", "Program Managers",
                                         "Project Management Group"};
    static const QStringList designers = {"Design Studio", "Interiors", "Design Group"};
    static const QStringList bidders = {
        "Construction Co.",      "Builders, Inc.", "Mechanical Contractors", "Electric Co.",
        "Roofing & Sheet Metal", "Paving, Inc.",   "Masonry Contractors",    "Plumbing & Heating"};
    if (contactType == "A")
        return architects;
    if (contactType == "E")
        return engineers;
    if (contactType == "O" || contactType == "OWNER")
        return owners;
    if (contactType == "GENERAL CO")
        return generals;
    if (contactType == "CM")
        return managers;
    if (contactType == "DESIGN")
        return designers;
    return bidders;
}

const QStringList& firstNames() {
    static const QStringList list = {"James",  "Mary",    "Robert", "Patricia", "Michael",
                                     "Linda",  "William", "Susan",  "David",    "Karen",
                                     "Thomas", "Nancy",   "Daniel", "Lisa",     "Mark",
                                     "Sandra", "Paul",    "Donna",  "Steven",   "Carol"};
    return list;
}

const QStringList& lastNames() {
    static const QStringList list = {"Anderson", "Baker",   "Carter",  "Dawson",  "Evans",
                                     "Fischer",  "Garcia",  "Hughes",  "Jensen",  "Kowalski",
                                     "Larson",   "Morales", "Nguyen",  "O'Brien", "Peterson",
                                     "Quinn",    "Russo",   "Schultz", "Turner",  "Walsh"};
    return list;
}

const QStringList& streets() {
    static const QStringList list = {"Main Street",   "Oak Avenue",     "Industrial Parkway",
                                     "Market Street", "Commerce Drive", "Elm Street",
                                     "River Road",    "Park Avenue",    "Center Street",
                                     "Airport Road",  "Jefferson Blvd", "Highland Avenue"};
    return list;
}

const QStringList& sheetTitles() {
    static const QStringList list = {
        "G-001 Cover Sheet",
        "G-002 Code Analysis",
        "C-101 Site Plan",
        "C-201 Grading and Drainage Plan",
        "C-301 Utility Plan",
        "L-101 Landscape Plan",
        "S-101 Foundation Plan",
        "S-201 Framing Plan",
        "S-501 Structural Details",
        "A-101 Floor Plan - Level 1",
        "A-102 Floor Plan - Level 2",
        "A-201 Exterior Elevations",
        "A-301 Building Sections",
        "A-401 Wall Sections",
        "A-501 Details",
        "A-601 Door and Window Schedules",
        "A-701 Reflected Ceiling Plan",
        "M-101 HVAC Plan",
        "M-501 Mechanical Details",
        "P-101 Plumbing Plan",
        "E-101 Lighting Plan",
        "E-201 Power Plan",
        "E-601 Panel Schedules",
        "FP-101 Fire Protection Plan",
    };
    return list;
}

const QStringList& contactTypes() {
    static const QStringList list = {"A", "E", "O", "OWNER", "GENERAL CO", "CM", "DESIGN", "B"};
    return list;
}

} // namespace brevant::service::words
