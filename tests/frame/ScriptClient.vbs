' An automation client: creates the component by its ProgID and puts and
' reads its three library paths by name, through IDispatch.
Set transactor = CreateObject("OvixParamTransactor.ParamTransactor")
transactor.ExplainLibrary = "ExtSucceed.dll"
transactor.ObscureLibrary = "ExtRefuse.dll"
transactor.EditLibrary = "NoSuchExtension.dll"
WScript.Echo "ExplainLibrary=" & transactor.ExplainLibrary
WScript.Echo "ObscureLibrary=" & transactor.ObscureLibrary
WScript.Echo "EditLibrary=" & transactor.EditLibrary
