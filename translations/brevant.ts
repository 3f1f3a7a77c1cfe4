<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>brevant::base::ProgramFolders</name>
    <message>
        <source>Version %1.%2.%3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::documents::DocumentCache</name>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No project(s) selected ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clearing Cache for Selected Projects - Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::documents::DocumentDownload</name>
    <message>
        <source>The project these documents were requested for has been deleted -- Nothing was saved ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You are already dowloading documents -- Please try again later ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking Authorization ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid subscription access ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Plan Pages Selected for Download ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Specification Section(s) Selected for Download ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Addenda Section(s) Selected for Download ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download cancelled -- nothing was saved</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::documents::DocumentLists</name>
    <message>
        <source>%1 sheet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 sheets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 section</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 sections</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 addendum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 addenda</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::documents::PlaceDocuments</name>
    <message>
        <source>the entry &quot;%1&quot; would be written outside the project folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the entry &quot;%1&quot; is larger than 4 GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the documents (%1 bytes) do not fit on the cache&apos;s disk</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the archive does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These documents are no longer available - Please contact us via email at %1 with any questions concerning this project ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::reports::BidCalendar</name>
    <message>
        <source>%1 event(s) for %2 project(s) were written to %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; %1 project(s) with no bid date set were left out</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::reports::ChangeHistoryReport</name>
    <message>
        <source>Takeoff</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takeoff item was measured on an earlier version of its sheet: open the sheet to measure again or accept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takeoff items were measured on an earlier version of their sheets: open the sheets to measure again or accept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (found by %1)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::reports::MailDocuments</name>
    <message>
        <source>No files were selected for processing - Please select DOWNLOADED file(s) and try again ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must specify a supply information for all required fields - &apos;TO&apos; and &apos;FROM&apos; are required fields ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CRITCAL ERROR - No SMTP server is set in Preferences (Options, Program Preferences, SMTP server) ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Email sent to server ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Problem sending Email to server ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error processing request - %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::reports::Printing</name>
    <message>
        <source>the print file %1 could not be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a new page could not be started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the print file %1 could not be completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be written (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no temporary print file (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the printer %1 refused the job (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Portable Document Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no printer was chosen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One PDF file was written for each project ...

%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be read (%2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::reports::ProjectCopy</name>
    <message>
        <source>Cannot copy the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot replace the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot create the folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read the folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking Folders ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to copy for this project ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please enter the location to copy the project to ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The copy location is inside this project&apos;s own cache folder -- Please choose another location ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copying Project Files -- Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copying Files ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the report %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The project could not be copied - %1 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project copied successfully ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::reports::frmCopy</name>
    <message>
        <source>Copy Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Project Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Location:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note: This process will only copy the selected project.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CO&amp;PY</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;CLOSE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Copy Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot close while copying project ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::reports::frmPrinter</name>
    <message>
        <source>Select Printer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;PRINT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;CANCEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PRINTER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DRIVER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PORT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print to PDF File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF Files (*.pdf);;All Files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printing -- Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no database is open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printing failed - %1 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printing cancelled -- %1 of %2 reports printed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Actual size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit to page</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::reports::frmSelectFiles</name>
    <message>
        <source>E-Mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;SEND MESSAGE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;ADD FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;CLEAR ALL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;CLOSE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files to Attach:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TIFF Images (*.tif *.tiff);;All Files (*)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::ArchiveFetch</name>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::DocumentLimits</name>
    <message>
        <source>The document is larger than %1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The document has more than %L1 elements</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::ListingDocument</name>
    <message>
        <source>Only one top level element is allowed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The document has no root element.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (line %2, column %3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Entity declarations are not allowed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undefined entity %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Elements are nested too deeply.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::ListingImport</name>
    <message>
        <source>(no number)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no valid project number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>already in the local database</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These projects were not imported:<byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
The others were imported ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error parsing results ...<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No data was received.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> -- cancelled, %1 not imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 project imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 projects imported</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::ProjectDocument</name>
    <message>
        <source> (line %1, column %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A document type declaration is not accepted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undefined entity &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Elements are nested deeper than %1 levels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The document has no root element</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::ProjectSearch</name>
    <message>
        <source>Must specify at least one criteria to perform a search.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Searches to Display ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose an existing search ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error parsing results.<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No projects were returned.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No new projects were returned.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::RequestKind</name>
    <message>
        <source>Not Connected to Internet -- Please check your internet connection and try again ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Connected to Internet -- Please connect and try again ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retrieving Project File  -- Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error downloading project listing file ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error un-packing project listing file ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retrieving Project Update File  -- Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error downloading project update file ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error un-packing project update file ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retrieving Images -- Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error downloading image file ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error un-packing images ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Problem Connecting to Internet (Already Connected) -- Please connect and try again ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::ServerConnection</name>
    <message>
        <source>Error communicating with server - %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection timed out (no answer from the server for %1 seconds)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection timed out (the server sent less than %1 KB a second)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking Access - Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connecting to Server ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connected to Server ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compiling Documents - Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message too long (the reply exceeds %1 MB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::ServerSession</name>
    <message>
        <source>Server &amp;Settings ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::UpdateCheck</name>
    <message>
        <source>Error parsing results.<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No data was received.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no database is open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Processing ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Documents are being retrieved -- Please wait until they have arrived and check for updates again ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking for Updates - Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No projects selected to update ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure want to check for updates on the selected record(s)?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Prompt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Connected to Internet -- Please check your internet connection and try again ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 checked, %2 changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> -- cancelled, %1 not checked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update check cancelled -- nothing was changed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::UpdateMerge</name>
    <message>
        <source>not stored on this computer; skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a date; kept as stored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a specification without a section; left out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a plan sheet without a file name; left out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#%1 of the document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no valid project number; skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>could not be stored (%1 %2); nothing changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Some of the update could not be applied ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>plan sheet %1: revision &quot;%2&quot; is not a number; kept as stored</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::frmFind</name>
    <message>
        <source>%1 Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 End</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;--&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find Projects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;SEARCH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;CANCEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SA&amp;VE SEARCH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;LEAR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Job Search Criteria</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scope Description:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bid Date Range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSI Lookup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSI Range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSI Code(s):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(e.g., 00100,12345,06453)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom Search List:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 bytes received...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Processing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looking for Projects ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have entered an invalid date.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When using a date range, the second date must come after the first date.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connecting to Server ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you wish to save the search?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Prompt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must enter a name for your search -- Enter it in the space provided and press the &apos;OK&apos; button: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must enter a search name -- Try Again?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you wish to delete the currently selected search?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::server::frmTrack</name>
    <message>
        <source>Tracking Projects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the jobs you wish to track and press the &quot;Import&quot; button</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Job Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>City</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bid Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;IMPORT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;CANCEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;SELECT ALL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CLEAR &amp;ALL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Processing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retrieving Project File ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot close window while importing data ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These projects were found on the service and are not in your project list yet. The ones you import are kept in your list and can be checked for updates.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import cancelled -- nothing was imported</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::CompactAndRepair</name>
    <message>
        <source>Compacting Database -- Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error with compact / repair of database - %1 %2...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compact and Repair complete ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::FirstStep</name>
    <message>
        <source>Your project list is empty. First step: enter the address of the project service under Options -&gt; Program Preferences (Service Connection); then find projects.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your project list is empty. Next step: search the project service with File -&gt; Find Projects (Online) and add the projects you bid on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server Se&amp;ttings ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find Pro&amp;jects ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::MigrateStore</name>
    <message>
        <source>%1: %2 of %3 rows copied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 there already</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (%1 differ; the firm store&apos;s rows were kept)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not copied (not project tables): %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 rows were copied from %2 into %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to do: %1 already holds every project of %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 already holds projects, so nothing was copied. To add the %2 rows it lacks, run the migration again with --merge (the firm store keeps its own rows where both have one).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The migration was cancelled; %1 was left as it was.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading %1 (%2 rows)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1% (%2 of %3 rows)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moving the projects of %1 into %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The migration failed, and %1 was left as it was: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attached files put into the firm store: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attached file not put into the firm store (it opens only on this computer): %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::Preferences</name>
    <message>
        <source>Interval Days must be numeric ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To use a proxy you must specify a SOCKS 5 server ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With Connection Security &quot;None&quot; your SMTP account name and password are sent to the mail server unencrypted, where anyone on the network can read them. Choose STARTTLS unless your mail server cannot use it ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings could not be saved: %1 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the firm server&apos;s host name or its service name, or choose this computer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The project store&apos;s connection holds a password, which the settings must not keep. Put the password in ~/.pgpass and leave it out of the connection.

%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::PreferencesStatistics</name>
    <message>
        <source>%1 bytes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::SingleInstance</name>
    <message>
        <source>the lock could not be taken</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brevant Desktop cannot start: the lock file %1 cannot be created (%2). Check that the program folder exists and can be written ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A copy of Brevant Desktop is already running ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::Startup</name>
    <message>
        <source>Database not found, using default location.  Go to Options-&gt; Program Preferences and verify the database location.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error initializing application: %1 - %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your last update was performed on %1 - Be sure to update projects in order to get updated information and addenda ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The project store cannot be opened:
%1

%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Preferences...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::StoreChoice</name>
    <message>
        <source>The connection works, and the store holds this program&apos;s tables.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The connection works. The database is empty: the program creates its tables the first time it opens it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The connection works. The store&apos;s tables are of an earlier version (%1); the program brings them to version %2 when it opens them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The store&apos;s tables are of version %1, made by a later release of the program; this one knows version %2 and must not change them. Install the release the other computers use.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The connection holds a password, which the settings must not keep. Put the password in ~/.pgpass instead.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server&apos;s name was not found. Check the host name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server refused the connection: nothing answers at that address and port. Check the port, and that the database server is running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server did not accept the password for this user, or none was found. Put the password in ~/.pgpass.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The encrypted connection could not be set up (TLS). Check the encryption setting and the server&apos;s certificate.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server has no database of that name. Check the database name, or ask the administrator to create it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The database file does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The store could not be opened.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::StoreOptions</name>
    <message>
        <source>--store goes with --check-updates, --export-list, --export-calendar or --migrate-store.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--store needs the store&apos;s locator.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--migrate-store needs a PostgreSQL store (a connection string such as &quot;host=server dbname=firm&quot;, a postgresql:// URI or service=name), not &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::frmAbout</name>
    <message>
        <source>About Brevant Desktop Edition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brevant Desktop Edition for 32-bit Windows Systems</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::frmIcons</name>
    <message>
        <source>Icon Summary</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(New Project) Projects displaying this symbol are new projects.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Tagged Project) Projects displaying this symbol are tagged projects.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Opened Project) Projects displaying this symbol have already been opened, but are not tagged.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Update) Projects displaying this symbol have had an information update.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Update) Projects displaying this symbol have had an information update and  have either new bidders, addenda or memos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;CLOSE</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::frmLogon</name>
    <message>
        <source>Brevant Desktop - Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;User Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The user name and password cannot contain the character &quot;|&quot; -- Please check them and try again ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::frmMain</name>
    <message>
        <source>Brevant Desktop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current Project List Report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error creating the job listing report: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bidders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attachments</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Awards / Apparent Lows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P&amp;RINT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plans</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Addenda</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project Documents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Projects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project Di&amp;splay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;CPYPAST</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Plans</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Specs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Addenda</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Attach</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find Projects (Online)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Icon Summary</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;lear Cache for Selected Project(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;E-Mail Selected Documents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export &amp;Bid Calendar...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export &amp;Project List...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;De-Select All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;All Projects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New Projects Only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tagged Projects Only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Opened Projects Only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print Full Report for Selected Project(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create Current &amp;Job Listing Report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>De&amp;lete Selected Project(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Selected Project(s) as &amp;Tagged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Selected Project(s) as &amp;Opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Ass&amp;ignments for Selected Project(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Clear Assignments for Selected Project(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check for &amp;Updates on Selected Project(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program &amp;Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change &amp;Login Credentials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy Selected Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download &amp;Selected Plan Page(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View Plans</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download &amp;Selected Specification Section(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download &amp;Selected Addenda</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Attach Document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove Selected Document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open Document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display &amp;Icon View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display &amp;List View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find Projects ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Projects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display all records ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tracked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display tagged records only ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display new records only ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Viewed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display opened records only ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print full report for selected projects ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download all selected documents ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete selected projects ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Email</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E-Mail selected documents ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check selected projects for updates ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No project(s) selected ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No project(s) were selected for printing ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search local projects (Ctrl+F)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No projects are checked or tagged, so there is nothing to put in the bid calendar ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Bid Calendar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>iCalendar files (*.ics);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The bid calendar could not be written to %1: %2 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Project List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The project list could not be written to %1: %2 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 project(s) were written to %2 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Currently Processing - Close Anyway? ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bid date has passed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Move Projects to the Firm Store...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Projects to the Firm Store</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The firm store to move this computer&apos;s projects into: a PostgreSQL connection string such as host=server dbname=firm, or service=name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no PostgreSQL store.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy every project of %1 into %2? This computer&apos;s database is not changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copying %1 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The migration failed, and %1 was left as it was: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 already holds projects.

%2

Add the %3 rows it lacks? Where both hold a row, the firm store&apos;s is kept.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::frmNotesConflict</name>
    <message>
        <source>Notes Changed by Another Estimator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>While you were typing, another estimator changed this project&apos;s notes. Choose what to keep; a version you do not keep is saved in the project&apos;s change history.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Their notes:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your notes:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep &amp;Theirs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep &amp;Mine</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep &amp;Both</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::frmPrefs</name>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cache Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect using a Proxy Server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proxy Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP Proxy Server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SOCKS 5 Proxy Server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SOCKS 5 User Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SOCKS 5 Password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E-Mail Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SMTP Server:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SMTP Account Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SMTP Account Password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default &apos;From&apos; Address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STARTTLS (required)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STARTTLS when offered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SSL/TLS (port 465)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection Security:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service Connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server Address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time-out (seconds):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Support E-Mail:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display last update date on start-up.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>day interval.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program Statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Projects Tracked:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Projects:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Viewed Projects:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total Projects:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database Size:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;SAVE / EXIT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Cache Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Database Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project store</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This computer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firm server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>As the server offers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encrypted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encrypted, server certificate checked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project store:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Host:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Database:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>or Service:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encryption:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the firm server&apos;s host name or its service name.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::frmSplash</name>
    <message>
        <source>Brevant Desktop Edition v%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::shell::frmWait</name>
    <message>
        <source>Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Processing Request - Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store</name>
    <message>
        <source>project %1 (it is not in the store now)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>project %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>project %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The connection to the project store broke while %1 was being saved. The change may or may not have been saved: the store did not answer, so this program cannot tell, and it was not sent again so that nothing is stored twice.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The project has been read again from the store and is shown as it is stored now; check it and make the change again if it is missing ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The store cannot be read again to find out (%1); check the project once it can ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store::Assignments</name>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to add/update these projects?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Prompt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to clear the assignments the selected project(s)?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store::AttachmentCommands</name>
    <message>
        <source>System Prompt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File not found -- Not attachment added ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File not found -- No attachment added ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store::LocalSearch</name>
    <message>
        <source>Error loading projects: %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store::ProjectCommands</name>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleting Projects - Please Wait ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No projects selected for deletion ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure want to delete the selected record(s)?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Prompt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> - Please try again later ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store::ProjectList</name>
    <message>
        <source>BID DATE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TITLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ASSIGN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DOCUMENT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SECTION</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPEC DESC.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A_SECTION</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A_SPEC DESC.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DESCRIPTION</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ADDED</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No projects yet — Find Projects (Ctrl+Shift+F) to search the service</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 projects</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store::ProjectListLoad</name>
    <message>
        <source>Error loading projects: %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store::SharedNotes</name>
    <message>
        <source>Notes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store::frmAssign</name>
    <message>
        <source>Project Assignment Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Who is this project assigned to:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel this assignment?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You are trying to assign the project(s) to a null string -- Please enter a value and try again ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::store::frmAttach</name>
    <message>
        <source>File Attachment Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter a description for this attachment:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel this attachment?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Prompt</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::takeoff::Scales</name>
    <message>
        <source>Calibrated (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This sheet has no scale yet: choose its scale or calibrate it before measuring lengths or areas. Counts need no scale.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::takeoff::Stale</name>
    <message>
        <source>measured on an earlier version</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::takeoff::TakeoffCsv</name>
    <message>
        <source>%1 page %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kind</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sheet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quantity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waste %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::takeoff::TakeoffModel</name>
    <message>
        <source>An item needs a name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An item&apos;s name may have %1 characters at most.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The unit does not fit the item&apos;s kind.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waste must be between 0 and 1000 %.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A point lies outside the page.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A mark may have %1 points at most.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A length needs two points or more.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An area needs three points or more.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A count needs a point.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add item %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The item no longer exists.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An item with marks keeps its kind.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change item %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove item %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Measure %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The mark no longer exists.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change mark</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete mark</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete %1 marks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set scale %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear scale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accept quantities of %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::takeoff::Units</name>
    <message>
        <source>ea</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Count</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::viewer::MarkedSheetPrint</name>
    <message>
        <source>the page to print does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the printer %1 is not available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the page could not be drawn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the pages could not be printed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be written</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::viewer::TakeoffPanel</name>
    <message>
        <source>Calibrate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Verify</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kind</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sheet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Item...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Freeze Quantities...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export CSV...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scale:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(no scale)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This sheet&apos;s marks were measured on an earlier version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frozen %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::viewer::TakeoffSession</name>
    <message>
        <source>The takeoff could not be saved: %1 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose or add a takeoff item of the kind %1 first ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a scale this program knows ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type the real length of the line, such as 40&apos;-0&quot; or 12.5 m ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Area %1, perimeter %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Length %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose a takeoff item for the mark first ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The quantities could not be frozen: %1 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: was %2, now %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>frozen %1: was %2, now %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>frozen %1: %2, unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::viewer::TakeoffTools</name>
    <message>
        <source>Takeoff</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Count</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Mark</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Sheet with Marks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The real length of the line (such as 40&apos;-0&quot; or 12.192 m):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calibrate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scale: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Verify: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click both ends of a known dimension ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click both ends of a line to measure it ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A note for the frozen quantities (such as &quot;Bid of 12/08/2026&quot;):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Freeze Quantities</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Takeoff</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The takeoff could not be exported: %1 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Takeoff exported to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no document is open</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::viewer::frmTakeoffItem</name>
    <message>
        <source>New Takeoff Item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kind:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Colour:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unit:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waste:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::viewer::frmViewer</name>
    <message>
        <source>Brevant Document Viewer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit Width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whole Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The document %1 does not exist ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The document %1 cannot be read ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 - Brevant Document Viewer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sheets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotate Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotate Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no document is open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The takeoff is not kept: the project store cannot be opened (%1).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>brevant::viewer::main</name>
    <message>
        <source>System Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
